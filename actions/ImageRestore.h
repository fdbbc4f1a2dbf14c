#pragma once
// Writes a saved EEPROM image back into a card: only the bytes that differ, each
// read back before the next, then the whole image read again and judged. A restore
// run again after a stop writes what still differs, so it resumes.

#include <array>
#include <string>
#include <vector>

#include "BlockSummary.h"
#include "EepromImageFile.h"

class CHistoryRun;
class CInstrument;
class IChannelRows;
class CPassCancel;
class IPassObserver;

// Why a restore must not start. `always` is never overridden; the others (a record
// for another serial or none at all, blocks invalid for the card's model) yield to
// the operator's --force or confirmation. Each is one sentence.
struct RestoreRefusals {
    std::string always;
    std::vector<std::string> overridable;
    bool Blocks(bool overridden) const { return !always.empty() || (!overridden && !overridable.empty()); }
};

// "Writing address 0x0012 of channel 5 failed: <the bus error> during "WrEe1"."
std::string BusFailureText(const CInstrument& instrument, const std::string& what);
// "The byte at address 0x0012 of channel 5 reads back 0x00 after 0xFF was written."
std::string ReadBackText(const std::string& at, std::uint8_t readBack, std::uint8_t written);

// "Channel 37 (rack 2, slot 5) holds no card."
std::string AbsentCardText(int channel);
// `card` is the table's record of `channel` as the last scan left it.
RestoreRefusals CheckRestore(const LoadedImage& file, const std::string& imagePath, const CChannelInfo& card,
                             int channel);

struct RestoreResult {
    // Refused: the history could not record the write and the operator did not let
    // it go unrecorded; nothing was written.
    enum class Outcome { Restored, Failed, Cancelled, Refused };
    Outcome outcome = Outcome::Failed;
    int differing = 0;   // bytes that differed from the image before
    int written = 0;     // bytes written and read back as written
    // Failed: one sentence naming the address and the cause.
    std::string failure;
    // Restored: the image read afterwards, judged by the card's model.
    std::array<BlockSummary, kEepromBlocks.size()> blocks{};
    bool allValid = false;
    // Restored: the card's verdict afterwards and its error text.
    std::int32_t status = StatusUnknown;
    std::string statusError;
};

// Restores `image` into the card at `channel`. From the first write on the card's
// state is unknown (record and row). A restore that ran to its end reads the whole
// image again, compares it with `image` (an address that differs fails the restore,
// named) and judges the card as the verify pass does (JudgeCard: blocks, gain
// self-test); one that stops says in the card's error text how far it got. A
// `cancel` stops before the next byte, never between a write and its read-back.
// With a `journal`, the bytes that differ are recorded in its history before the
// first goes out, and how far the restore got after (the run's MayWrite is asked
// before the image is read).
struct RestoreJournal {
    CHistoryRun& history;
    std::string imageFile;
    std::string imageSha256;
};
RestoreResult RestoreEepromImage(CInstrument& instrument, CChannelInfo& card, int channel, const EepromImage& image,
                                 IChannelRows& rows, IPassObserver& observer, CPassCancel* cancel = nullptr,
                                 const RestoreJournal* journal = nullptr);
// What both front ends say of a restore that stopped, ran or was refused.
std::string RestoreSummary(const RestoreResult& result, int channel);
