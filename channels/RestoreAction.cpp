#include "RestoreAction.h"

#include "CInstrument.h"
#include "CardIdentity.h"
#include "IOperatorConfirm.h"
#include "IOperatorMessages.h"
#include "ImageRestore.h"

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
    if (!refusals.overridable.empty() && !front.confirm.Confirm(ConfirmQuestion::Restore, refusals.overridable))
        return {ActionOutcome::Refused, {}};

    const RestoreResult result =
        RestoreEepromImage(front.instrument, card, channel, file.image, front.rows, front.observer, front.cancel);
    const std::string summary = RestoreSummary(result, channel);
    switch (result.outcome) {
    case RestoreResult::Outcome::Restored:
        return {result.status == StatusGood ? ActionOutcome::Done : ActionOutcome::NotGood, summary};
    case RestoreResult::Outcome::Cancelled:
        return {ActionOutcome::Cancelled, summary + " Run it again to resume."};
    case RestoreResult::Outcome::Failed:
        break;
    }
    front.messages.ShowMessage(summary, MessageIcon::Exclamation);
    return {ActionOutcome::Failed, {}};
}
