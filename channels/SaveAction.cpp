#include "SaveAction.h"

#include <filesystem>

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
bool SaveRead(const CardActionFront& front, int channel, const std::string& path, bool& fileFailed)
{
    const CChannelInfo& card = front.channels[static_cast<std::size_t>(channel)];
    const CardImageSave save = SaveCardImage(front.instrument, card, channel, path);
    if (!save.read)
        front.instrument.ShowError();
    else if (!save.file.ok())
        front.messages.ShowMessage(save.file.Text(), save.file.written.icon());
    fileFailed = save.read && !save.file.ok();
    return save.ok();
}

// `folder` empty: the files of one save, named whole; otherwise the folder's files by name.
bool ConfirmReplacing(const CardActionFront& front, const std::vector<std::string>& inTheWay, const std::string& folder)
{
    if (inTheWay.empty())
        return true;
    std::string names;
    for (const std::string& name : inTheWay)
        names += (names.empty() ? "" : ", ") + name;
    const std::string reason = !folder.empty()
        ? folder + FormatText(" holds %d of the files already: ", static_cast<int>(inTheWay.size())) + names + "."
        : names + (inTheWay.size() == 1 ? " exists already." : " exist already.");
    return front.confirm.Confirm(ConfirmQuestion::Replace, {reason});
}

} // namespace

std::vector<std::string> ImageFilesInTheWay(const std::string& imagePath)
{
    std::vector<std::string> found;
    for (const std::string& path : {imagePath, ImageRecordPath(imagePath)}) {
        std::error_code unknown;
        if (std::filesystem::exists(path, unknown))
            found.push_back(path);
    }
    return found;
}

ActionResult SaveCardImageAs(const CardActionFront& front, int channel, const std::string& path)
{
    if (front.channels[static_cast<std::size_t>(channel)].m_nStatus == StatusNotPresent) {
        front.messages.ShowMessage(AbsentCardText(channel), MessageIcon::Exclamation);
        return {ActionOutcome::Refused, {}};
    }
    if (!ConfirmReplacing(front, ImageFilesInTheWay(path), {}))
        return {ActionOutcome::Refused, {}};
    CPassGuard pass(front.observer, PassKind::Save);
    pass.CardStarted(1, 1, channel);
    bool fileFailed = false;
    if (!RecheckIdentity(front, channel) || !SaveRead(front, channel, path, fileFailed))
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
    std::vector<std::string> inTheWay;
    for (int channel : cards) {
        for (const std::string& path : ImageFilesInTheWay(pathOf(channel)))
            inTheWay.push_back(std::filesystem::path(path).filename().string());
    }
    if (!ConfirmReplacing(front, inTheWay, folder))
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
        if (RecheckIdentity(front, channel) && SaveRead(front, channel, pathOf(channel), fileFailed))
            result.summary += FormatText("channel %d: %s\n", channel, pathOf(channel).c_str());
        else
            result.outcome = ActionOutcome::Failed;
        pass.ChannelDone(++done, total, channel, front.channels[static_cast<std::size_t>(channel)].m_nStatus);
        if (fileFailed)
            break;
    }
    return result;
}
