#pragma once
// Operator messages as modal message boxes captioned with the application title.

#include <QPointer>
#include <QWidget>

#include "IOperatorMessages.h"

class CMessageBoxSink final : public IOperatorMessages {
public:
    // A box is centred over the open modal dialog, else over `owner` when it still exists.
    void SetOwner(QWidget* owner) { m_owner = owner; }
    void ShowMessage(const std::string& text, MessageIcon icon) override;

private:
    QPointer<QWidget> m_owner;
};
