#include "ImageRestore.h"

#include <algorithm>

#include "CInstrument.h"
#include "CPassGuard.h"
#include "ImageCompare.h"
#include "TextFormat.h"

namespace {

std::string BusFailure(const CInstrument& instrument, const std::string& what)
{
    return what + " failed: " + instrument.ErrorText() + " during \"" + instrument.Operation() + "\".";
}

} // namespace

std::string AbsentCardText(int channel)
{
    return FormatText("Channel %d (rack %d, slot %d) holds no card.", channel, RackOf(channel), SlotOf(channel));
}

RestoreRefusals CheckRestore(const LoadedImage& file, const std::string& imagePath, const CChannelInfo& card,
                             int channel)
{
    RestoreRefusals refusals;
    if (!file.ok()) {
        refusals.always = file.refusal;
        return refusals;
    }
    if (card.m_nStatus == StatusNotPresent) {
        refusals.always = AbsentCardText(channel);
        return refusals;
    }
    const std::string serial(card.Serial());
    if (!file.record) {
        refusals.overridable.push_back("The serial " + imagePath + " was saved from is unknown (" + file.recordProblem
                                       + "); the card in channel " + std::to_string(channel) + " has serial " + serial
                                       + ".");
    } else if (file.record->serial != serial) {
        refusals.overridable.push_back(imagePath + " was saved from serial " + file.record->serial
                                       + "; the card in channel " + std::to_string(channel) + " has serial " + serial
                                       + ".");
    }
    std::string invalid;
    for (const BlockSummary& entry : SummarizeBlocks(file.image, card.IsExemptModel())) {
        if (entry.checked && !entry.valid)
            invalid += std::string(invalid.empty() ? "" : ", ") + "\"" + entry.block.name + "\"";
    }
    if (!invalid.empty())
        refusals.overridable.push_back("In " + imagePath + " the block" + (invalid.find(',') == std::string::npos ? " " : "s ")
                                       + invalid + " would be invalid for a card of model "
                                       + std::string(card.Model().empty() ? "(unknown)" : card.Model()) + ".");
    return refusals;
}

RestoreResult RestoreEepromImage(CInstrument& instrument, CChannelInfo& card, int channel, const EepromImage& image,
                                 IPassObserver& observer, CPassCancel* cancel)
{
    CPassGuard pass(observer, PassKind::Restore);
    RestoreResult result;
    const std::string where = "channel " + std::to_string(channel);

    EepromImage current{};
    if (!instrument.ReadEepromImage(channel, current)) {
        result.failure = BusFailure(instrument, "Reading the image of " + where);
        return result;
    }
    const std::vector<ImageDifference> differences = CompareImages(current, image);
    result.differing = static_cast<int>(differences.size());
    const int total = result.differing;

    for (const ImageDifference& d : differences) {
        // Between bytes only: a byte written is always read back.
        if (CPassGuard::StopHere(cancel, result.written, total)) {
            result.outcome = RestoreResult::Outcome::Cancelled;
            return result;
        }
        pass.CardStarted(result.written + 1, total, channel);
        const auto address = static_cast<std::uint16_t>(d.address);
        const std::string at = FormatText("address 0x%04X of ", static_cast<unsigned>(address)) + where;
        if (!instrument.WrEe1(channel, address, d.second)) {
            result.failure = BusFailure(instrument, "Writing " + at);
            return result;
        }
        std::uint8_t readBack = 0;
        if (!instrument.RdEe1(channel, address, &readBack)) {
            result.failure = BusFailure(instrument, "Reading back " + at);
            return result;
        }
        if (readBack != d.second) {
            result.failure = FormatText("The byte at %s reads back 0x%02X after 0x%02X was written.", at.c_str(),
                                        static_cast<unsigned>(readBack), static_cast<unsigned>(d.second));
            return result;
        }
        ++result.written;
        pass.ChannelDone(result.written, total, channel, card.m_nStatus);
    }

    // Nothing written: the image read first is the card's.
    if (result.written > 0 && !instrument.ReadEepromImage(channel, current)) {
        result.failure = BusFailure(instrument, "Reading the image of " + where + " after the restore");
        return result;
    }
    result.outcome = RestoreResult::Outcome::Restored;
    result.allValid = card.CheckImage(current);
    result.blocks = SummarizeBlocks(current, card.IsExemptModel());
    return result;
}

std::string RestoreSummary(const RestoreResult& result, int channel)
{
    const std::string counts = FormatText("%d of %d differing byte%s written and read back", result.written,
                                          result.differing, result.differing == 1 ? "" : "s");
    switch (result.outcome) {
    case RestoreResult::Outcome::Restored: {
        std::string text = FormatText("Channel %d restored: ", channel) + counts + ".";
        for (const BlockSummary& entry : result.blocks) {
            if (entry.checked && !entry.valid)
                text += FormatText(" Block \"%s\" is invalid.", entry.block.name);
        }
        return text;
    }
    case RestoreResult::Outcome::Cancelled:
        return FormatText("Restore of channel %d cancelled: ", channel) + counts + ".";
    case RestoreResult::Outcome::Failed:
        break;
    }
    return result.failure + " " + FormatText("Channel %d is not restored: ", channel) + counts + ".";
}
