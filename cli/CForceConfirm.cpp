#include "CForceConfirm.h"

#include "IOperatorMessages.h"

bool CForceConfirm::Confirm(ConfirmQuestion question, const std::vector<std::string>& reasons)
{
    for (const std::string& reason : reasons)
        m_messages.ShowMessage(reason, MessageIcon::Exclamation);
    // A write the card history cannot record is let through by --no-history alone,
    // named before the run: --force is for the card and the files.
    if (question == ConfirmQuestion::UnrecordedWrite) {
        m_messages.ShowMessage("Nothing was written; --no-history writes without recording it.",
                               MessageIcon::Exclamation);
        return false;
    }
    if (!m_force)
        m_messages.ShowMessage(question == ConfirmQuestion::Restore
                                   ? "Nothing was written; --force restores the image all the same."
                                   : "Nothing was saved; --force replaces them.",
                               MessageIcon::Exclamation);
    return m_force;
}
