#include "RestoreAction.h"

#include "CHistoryRun.h"
#include "CInstrument.h"
#include "CardIdentity.h"
#include "IOperatorConfirm.h"
#include "IOperatorMessages.h"
#include "ImageRestore.h"
#include "Sha256.h"

#include <optional>

ActionResult RestoreCardImage(const CardActionFront& front, int channel, const std::string& path)
{
    const auto refuse = [&](const std::string& text) {
        front.messages.ShowMessage(text + " Nothing was written.", MessageIcon::Exclamation);
        return ActionResult{ActionOutcome::Refused, {}};
    };
    const LoadedImage file = LoadImageFile(path);
    if (!file.ok())
        return refuse(file.refusal);
    CChannelInfo& card = front.channels[static_cast<std::size_t>(channel)];
    if (card.m_nStatus == StatusNotPresent)
        return refuse(AbsentCardText(channel));
    // Before the card is read for the restore: the answer may take minutes.
    if (front.history != nullptr && !front.history->MayWrite(front.confirm))
        return {ActionOutcome::Refused, {}};

    const IdentityCheck identity = RecheckCardIdentity(front.instrument, card, channel, front.rows);
    if (!identity.read) {
        front.instrument.ShowError();
        return {ActionOutcome::Failed, "Nothing was written."};
    }
    RestoreRefusals refusals = CheckRestore(file, path, card, channel);
    if (identity.swapped)
        refusals.overridable.insert(refusals.overridable.begin(), SwappedCardText(channel, identity, card.Serial()));
    if (!refusals.always.empty())
        return refuse(refusals.always);
    if (!refusals.overridable.empty()) {
        if (!front.confirm.Confirm(ConfirmQuestion::Restore, refusals.overridable))
            return {ActionOutcome::Refused, {}};
        // The question may have stood open for minutes: the yes was for this card, so
        // the card in the slot must still be it.
        const std::string confirmedSerial(card.Serial());
        const IdentityCheck again = RecheckCardIdentity(front.instrument, card, channel, front.rows);
        if (!again.read) {
            front.instrument.ShowError();
            return {ActionOutcome::Failed, "Nothing was written."};
        }
        if (again.swapped)
            return refuse("Channel " + std::to_string(channel) + " now holds serial " + std::string(card.Serial())
                          + ", not " + confirmedSerial + " as when the restore was confirmed.");
    }

    std::optional<RestoreJournal> journal;
    if (front.history != nullptr)
        journal.emplace(RestoreJournal{*front.history, path,
                                       Sha256Hex({reinterpret_cast<const char*>(file.image.data()), file.image.size()})});
    const RestoreResult result = RestoreEepromImage(front.instrument, card, channel, file.image, front.rows,
                                                    front.observer, front.cancel, journal ? &*journal : nullptr);
    const std::string summary = RestoreSummary(result, channel);
    switch (result.outcome) {
    case RestoreResult::Outcome::Restored:
        return {result.status == StatusGood ? ActionOutcome::Done : ActionOutcome::NotGood, summary};
    case RestoreResult::Outcome::Cancelled:
        return {ActionOutcome::Cancelled, summary + " Run it again to resume."};
    case RestoreResult::Outcome::Refused:
        return {ActionOutcome::Refused, {}};
    case RestoreResult::Outcome::Failed:
        break;
    }
    front.messages.ShowMessage(summary, MessageIcon::Exclamation);
    return {ActionOutcome::Failed, {}};
}
