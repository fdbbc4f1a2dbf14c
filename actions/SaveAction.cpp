#include "SaveAction.h"

#include <filesystem>

#include "CHistoryRun.h"
#include "CInstrument.h"
#include "CPassGuard.h"
#include "CardIdentity.h"
#include "EepromImageFile.h"
#include "IOperatorConfirm.h"
#include "IOperatorMessages.h"
#include "ImageRestore.h"
#include "PresentChannels.h"
#include "TextFormat.h"

namespace {

// The card's identity read again, so that the record names the card the bytes come
// from; false after saying why not.
bool RecheckIdentity(const CardActionFront& front, int channel)
{
    CChannelInfo& card = front.channels[static_cast<std::size_t>(channel)];
    if (RecheckCardIdentity(front.instrument, card, channel, front.rows).read)
        return true;
    front.instrument.ShowError();
    return false;
}

// Reads the card's image and saves it with its record; false after saying why not.
// A file that cannot be written is noted in `fileFailed`.
bool SaveRead(const CardActionFront& front, int channel, const std::string& path, ExistingFiles existing,
              bool& fileFailed)
{
    const CChannelInfo& card = front.channels[static_cast<std::size_t>(channel)];
    const CardImageSave save = SaveCardImage(front.instrument, card, channel, path, existing);
    if (save.ok() && front.history != nullptr)
        front.history->SavedImage({{}, channel, std::string(card.Serial()), path, save.sha256});
    if (!save.read)
        front.instrument.ShowError();
    else if (!save.file.ok())
        front.messages.ShowMessage(save.file.Text(), save.file.written.icon());
    fileFailed = save.read && !save.file.ok();
    return save.ok();
}

// Whether the save may go on, and over what: the operator is asked once about all
// the files in the way. False: nothing is to be saved.
bool ConfirmReplacing(const CardActionFront& front, const std::vector<std::string>& inTheWay, ExistingFiles& existing)
{
    existing = inTheWay.empty() ? ExistingFiles::Keep : ExistingFiles::Replace;
    if (inTheWay.empty())
        return true;
    std::string names;
    for (const std::string& name : inTheWay)
        names += (names.empty() ? "" : ", ") + name;
    return front.confirm.Confirm(ConfirmQuestion::Replace,
                                 {names + (inTheWay.size() == 1 ? " exists already." : " exist already.")});
}

} // namespace

ActionResult SaveCardImageAs(const CardActionFront& front, int channel, const std::string& path)
{
    if (front.channels[static_cast<std::size_t>(channel)].m_nStatus == StatusNotPresent) {
        front.messages.ShowMessage(AbsentCardText(channel), MessageIcon::Exclamation);
        return {ActionOutcome::Refused, {}};
    }
    ExistingFiles existing{};
    if (!ConfirmReplacing(front, ExistingImageFiles(path), existing))
        return {ActionOutcome::Refused, {}};
    CPassGuard pass(front.observer, PassKind::Save);
    pass.CardStarted(1, 1, channel);
    bool fileFailed = false;
    if (!RecheckIdentity(front, channel) || !SaveRead(front, channel, path, existing, fileFailed))
        return {ActionOutcome::Failed, {}};
    return {ActionOutcome::Done, FormatText("channel %d: %s, %s\n", channel, path.c_str(), ImageRecordPath(path).c_str())};
}

ActionResult SaveAllCardImagesInto(const CardActionFront& front, const std::string& folder)
{
    const std::vector<int> cards = PresentChannels(front.channels);
    const auto pathOf = [&](int channel) {
        return (std::filesystem::path(folder) / ImageFileName(front.channels[static_cast<std::size_t>(channel)], channel))
            .string();
    };
    ExistingFiles existing{};
    if (!ConfirmReplacing(front, ExistingCardImageFiles(front.channels, folder), existing))
        return {ActionOutcome::Refused, {}};

    CPassGuard pass(front.observer, PassKind::Save);
    ActionResult result{ActionOutcome::Done, {}};
    const int total = static_cast<int>(cards.size());
    int done = 0;
    for (int channel : cards) {
        if (CPassGuard::StopHere(front.cancel, done, total)) {
            result.outcome = ActionOutcome::Cancelled;
            break;
        }
        pass.CardStarted(done + 1, total, channel);
        // The name comes from the identity read now, not the scan's.
        bool fileFailed = false;
        if (RecheckIdentity(front, channel) && SaveRead(front, channel, pathOf(channel), existing, fileFailed))
            result.summary += FormatText("channel %d: %s\n", channel, pathOf(channel).c_str());
        else
            result.outcome = ActionOutcome::Failed;
        pass.ChannelDone(++done, total, channel, front.channels[static_cast<std::size_t>(channel)].m_nStatus);
        if (fileFailed)
            break;
    }
    return result;
}
