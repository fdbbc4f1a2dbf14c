#pragma once
// What the card history keeps: runs of the program, the cards each run judged, the
// bytes written into cards and the images saved from them; and what a question to
// it returns. Times are UTC, "2026-12-08T07:49:12.123456Z".

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// One command of either front end: valdina-cli's command line, or an action of the window.
struct RunStart {
    std::string started;    // UTC
    std::string station;    // host name
    std::string operatorName;
    std::string program;    // "valdina-cli 1.4.0"
    std::string command;    // "verify 37-40", "Verify All"
    int board = 0;
    int address = 0;
};

struct RunEnd {
    std::string ended;      // UTC
    // "done", "not good", "refused", "failed", or "cancelled" with how far it got:
    // "cancelled: Verify cancelled after 3 of 8 cards".
    std::string outcome;
};

// A card as the run left it.
struct CardResult {
    int channel = 0;
    std::string serial;
    std::string model;
    std::int32_t state = 0;  // ChannelStatus
    std::string error;
    std::string blocks;      // "Header ok, gain bad, ..."; empty when the run read no image
};

// One byte of a write: what the card held, what was written, what it read back.
struct ByteWrite {
    std::uint16_t address = 0;
    std::uint8_t before = 0;
    std::uint8_t written = 0;
    std::optional<std::uint8_t> readBack;   // none: not written, or not read back
};

// A write into one card: a poke (one byte) or a restore (the bytes that differ).
struct WriteStart {
    std::string at;          // UTC
    int channel = 0;
    std::string serial;
    std::string kind;        // "poke", "restore"
    std::string imageFile;   // a restore's image file and its SHA-256
    std::string imageSha256;
    std::vector<ByteWrite> bytes;   // planned, none read back yet
};

struct WriteEnd {
    // "written", "failed: ...", "cancelled: 3 of 10 bytes written"
    std::string outcome;
    std::vector<ByteWrite> bytes;   // the bytes written so far, each with its read-back
};

struct SavedImage {
    std::string at;          // UTC
    int channel = 0;
    std::string serial;
    std::string file;
    std::string sha256;
};

// A question to the store: one card by serial or one channel, newest first.
struct HistoryQuery {
    std::optional<std::string> serial;
    std::optional<int> channel;
    std::string since;       // UTC; empty: all
    bool writesOnly = false;
};

struct HistoryEntry {
    enum class Kind { Run, Write, Save };
    Kind kind = Kind::Run;
    std::string when;        // UTC: the run's end (its verdicts), the write's or save's time
    std::string station;
    std::string operatorName;
    std::string command;
    std::string runOutcome;
    int channel = 0;
    std::string serial;
    std::string model;
    // Run
    std::int32_t state = 0;
    std::string error;
    std::string blocks;
    // Write: one byte of it, and how the whole write ended ("" while the run was killed mid-write)
    std::string writeKind;
    ByteWrite byte;
    std::string writeOutcome;
    // Write of a restore, Save
    std::string file;
    std::string sha256;
};
