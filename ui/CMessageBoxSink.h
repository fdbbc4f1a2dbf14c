#pragma once
// Operator messages as modal message boxes captioned with the application title.

#include "IOperatorMessages.h"

class CMessageBoxSink final : public IOperatorMessages {
public:
    void ShowMessage(const std::string& text, MessageIcon icon) override;
};
