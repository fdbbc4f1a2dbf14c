#include "CompareAction.h"

#include "CInstrument.h"
#include "CPassGuard.h"
#include "EepromImageFile.h"
#include "IOperatorMessages.h"

CardComparison CompareCardWithImage(const CardActionFront& front, int channel, const std::string& path)
{
    CardComparison comparison;
    const LoadedImage file = LoadImageFile(path);
    if (!file.ok()) {
        front.messages.ShowMessage(file.refusal, MessageIcon::Exclamation);
        comparison.result.outcome = ActionOutcome::Refused;
        return comparison;
    }
    EepromImage card{};
    bool read = false;
    {
        CPassGuard pass(front.observer, PassKind::Save);
        pass.CardStarted(1, 1, channel);
        read = front.instrument.ReadEepromImage(channel, card) != 0;
    }
    if (!read) {
        front.instrument.ShowError();
        return comparison;
    }
    comparison.differences = CompareImages(card, file.image);
    comparison.result.outcome = comparison.differences.empty() ? ActionOutcome::Done : ActionOutcome::NotGood;
    comparison.result.summary = "channel " + std::to_string(channel) + " against " + path + ": "
        + FormatImageDifferences(comparison.differences, "card", "file");
    return comparison;
}
