#include "CForceConfirm.h"

#include "IOperatorMessages.h"

bool CForceConfirm::Confirm(ConfirmQuestion question, const std::vector<std::string>& reasons)
{
    for (const std::string& reason : reasons)
        m_messages.ShowMessage(reason, MessageIcon::Exclamation);
    if (!m_force)
        m_messages.ShowMessage(question == ConfirmQuestion::Restore
                                   ? "Nothing was written; --force restores the image all the same."
                                   : "Nothing was saved; --force replaces them.",
                               MessageIcon::Exclamation);
    return m_force;
}
