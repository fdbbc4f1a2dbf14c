#include "ImageRestore.h"

#include <algorithm>

#include "CHistoryRun.h"
#include "CInstrument.h"
#include "CPassGuard.h"
#include "IChannelRows.h"
#include "ImageCompare.h"
#include "TextFormat.h"
#include "VerifyAll.h"

std::string BusFailureText(const CInstrument& instrument, const std::string& what)
{
    return what + " failed: " + instrument.ErrorText() + " during \"" + instrument.Operation() + "\".";
}

std::string ReadBackText(const std::string& at, std::uint8_t readBack, std::uint8_t written)
{
    return FormatText("The byte at %s reads back 0x%02X after 0x%02X was written.", at.c_str(),
                      static_cast<unsigned>(readBack), static_cast<unsigned>(written));
}

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

namespace {

// The card's record and row while a restore has it: unknown, and how far it got.
void MarkRestoring(CChannelInfo& card, IChannelRows& rows, int channel, const RestoreResult& result, const char* how)
{
    card.m_nStatus = StatusUnknown;
    card.m_strError = FormatText("restore %s: %d of %d bytes written", how, result.written, result.differing);
    ShowCardVerdict(rows, rows.FindChannelRow(channel), card);
}

// "0x0012, 0x0013" of the first few addresses, and how many more.
std::string AddressList(const std::vector<ImageDifference>& differences)
{
    constexpr std::size_t kNamed = 8;
    std::string text;
    for (std::size_t i = 0; i < differences.size() && i < kNamed; ++i)
        text += FormatText(i == 0 ? "0x%04X" : ", 0x%04X", static_cast<unsigned>(differences[i].address));
    if (differences.size() > kNamed)
        text += FormatText(" and %d more", static_cast<int>(differences.size() - kNamed));
    return text;
}

} // namespace

RestoreResult RestoreEepromImage(CInstrument& instrument, CChannelInfo& card, int channel, const EepromImage& image,
                                 IChannelRows& rows, IPassObserver& observer, CPassCancel* cancel,
                                 const RestoreJournal* journal)
{
    CPassGuard pass(observer, PassKind::Restore);
    RestoreResult result;
    const std::string where = "channel " + std::to_string(channel);

    EepromImage current{};
    if (!instrument.ReadEepromImage(channel, current)) {
        result.failure = BusFailureText(instrument, "Reading the image of " + where);
        return result;
    }
    const std::vector<ImageDifference> differences = CompareImages(current, image);
    result.differing = static_cast<int>(differences.size());
    const int total = result.differing;
    // The write as the history keeps it: each differing byte, then each one's read-back.
    std::vector<ByteWrite> bytes;
    for (const ImageDifference& d : differences)
        bytes.push_back({static_cast<std::uint16_t>(d.address), d.first, d.second, std::nullopt});
    const bool journaled = journal != nullptr && !differences.empty();
    if (journaled) {
        WriteStart start;
        start.channel = channel;
        start.serial = std::string(card.Serial());
        start.kind = "restore";
        start.imageFile = journal->imageFile;
        start.imageSha256 = journal->imageSha256;
        start.bytes = bytes;
        if (!journal->history.BeginWrite(start)) {
            result.outcome = RestoreResult::Outcome::Refused;
            return result;
        }
    }
    // Every way out from here on leaves the card unknown until it is judged.
    const auto stop = [&](RestoreResult::Outcome outcome, const char* how) {
        result.outcome = outcome;
        MarkRestoring(card, rows, channel, result, how);
        if (journaled)
            journal->history.EndWrite({card.m_strError, bytes});
        return result;
    };

    for (const ImageDifference& d : differences) {
        // Between bytes only: a byte written is always read back.
        if (CPassGuard::StopHere(cancel, result.written, total))
            return stop(RestoreResult::Outcome::Cancelled, "cancelled");
        if (result.written == 0)
            MarkRestoring(card, rows, channel, result, "in progress");
        pass.CardStarted(result.written + 1, total, channel);
        const auto address = static_cast<std::uint16_t>(d.address);
        const std::string at = FormatText("address 0x%04X of ", static_cast<unsigned>(address)) + where;
        if (!instrument.WrEe1(channel, address, d.second)) {
            result.failure = BusFailureText(instrument, "Writing " + at);
            return stop(RestoreResult::Outcome::Failed, "failed");
        }
        std::uint8_t readBack = 0;
        if (!instrument.RdEe1(channel, address, &readBack)) {
            result.failure = BusFailureText(instrument, "Reading back " + at);
            return stop(RestoreResult::Outcome::Failed, "failed");
        }
        bytes[static_cast<std::size_t>(result.written)].readBack = readBack;
        if (readBack != d.second) {
            result.failure = ReadBackText(at, readBack, d.second);
            return stop(RestoreResult::Outcome::Failed, "failed");
        }
        ++result.written;
        pass.ChannelDone(result.written, total, channel, card.m_nStatus);
    }

    // Nothing written: the image read first is the card's.
    if (result.written > 0 && !instrument.ReadEepromImage(channel, current)) {
        result.failure = BusFailureText(instrument, "Reading the image of " + where + " after the restore");
        return stop(RestoreResult::Outcome::Failed, "failed");
    }
    if (const auto left = CompareImages(current, image); !left.empty()) {
        result.failure = "After the restore " + where + " differs from the image at " + AddressList(left) + ".";
        return stop(RestoreResult::Outcome::Failed, "failed");
    }
    result.outcome = RestoreResult::Outcome::Restored;
    if (journaled)
        journal->history.EndWrite({"written", bytes});
    result.blocks = SummarizeBlocks(current, card.IsExemptModel());
    // The gain self-test talks to the selected card; the EEPROM frames named theirs.
    if (instrument.Select(channel)) {
        JudgeCard(instrument, card, current);
    } else {
        card.m_nStatus = StatusUnknown;
        card.m_strError = "not judged after the restore: " + instrument.ErrorMessage();
    }
    result.allValid = std::all_of(result.blocks.begin(), result.blocks.end(),
                                  [](const BlockSummary& entry) { return !entry.checked || entry.valid; });
    result.status = card.m_nStatus;
    result.statusError = card.m_strError;
    ShowCardVerdict(rows, rows.FindChannelRow(channel), card);
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
        if (result.status != StatusGood)
            text += FormatText(" The card is %s", StatusText(result.status))
                + (result.statusError.empty() ? "." : ": " + result.statusError + ".");
        return text;
    }
    case RestoreResult::Outcome::Cancelled:
        return FormatText("Restore of channel %d cancelled: ", channel) + counts + ".";
    case RestoreResult::Outcome::Refused:
        return FormatText("Nothing was written into channel %d.", channel);
    case RestoreResult::Outcome::Failed:
        break;
    }
    return result.failure + " " + FormatText("Channel %d is not restored: ", channel) + counts + ".";
}
