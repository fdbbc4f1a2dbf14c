#pragma once
// The command line of valdina-cli, parsed and checked before anything touches the bus.

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

enum class CliCommand { Scan, Verify, Clear, Peek, Poke, Dump, Doctor, Save, SaveAll, Compare, Restore, History };

struct CliOptions {
    CliCommand command = CliCommand::Scan;
    int channel = 0;
    std::uint16_t address = 0;
    std::uint8_t byte = 0;
    std::string reportPath;   // empty: no report file
    std::string junitPath;    // empty: no JUnit XML file
    bool json = false;
    bool trace = false;
    int board = 0;                  // GPIB board index
    std::uint16_t busAddress = 29;  // the mainframe's primary address
    // save, compare, restore: the image file (save --all: the folder); compare of
    // two files (`compareChannel` false): the first, and the second below.
    std::string imagePath;
    std::string secondImagePath;
    bool compareChannel = true;
    // restore: over another serial, an unknown one or invalid blocks; save: over
    // an existing image or record
    bool force = false;
    std::vector<int> channels;   // verify: the cards named, in increasing channel; empty: every card
    // The card history: the store named with --history (empty: VALDINA_HISTORY or the
    // user's data folder), or none at all for this run.
    std::string historyPath;
    bool noHistory = false;
    std::string commandLine;     // the arguments as given, for the history's record of the run
    // history: one card by serial, or one channel (`channel`)
    std::string historySerial;
    bool historyByChannel = false;
    std::string since;           // UTC as the history keeps it; empty: all
    bool writesOnly = false;
    bool csv = false;
};

// Whether `command` writes into the card history (the others only read the bus or the history).
bool RecordsHistory(CliCommand command);

struct CliParseOutcome {
    std::optional<CliOptions> options;  // set when the command is to run
    int exitCode = 0;                    // otherwise: 0 after --help or --version, 64 for a usage error
};

// Help goes to `out`, usage errors to `err`.
CliParseOutcome ParseCliOptions(int argc, const char* const* argv, std::ostream& out, std::ostream& err);
