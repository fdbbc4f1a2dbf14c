#pragma once
// The command line's answer to an action's question: each reason said as a message,
// then --force decides; without it the closing line says that --force goes on.

#include "IOperatorConfirm.h"

class IOperatorMessages;

class CForceConfirm final : public IOperatorConfirm {
public:
    CForceConfirm(IOperatorMessages& messages, bool force) : m_messages(messages), m_force(force) {}
    bool Confirm(ConfirmQuestion question, const std::vector<std::string>& reasons) override;

private:
    IOperatorMessages& m_messages;
    bool m_force;
};
