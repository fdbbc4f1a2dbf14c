#include "CliOptions.h"

#include <CLI/CLI.hpp>
#include <ostream>
#include <string>
#include <vector>

#include "CEepromBytes.h"
#include "CliNumber.h"
#include "ExitCode.h"
#include "UtcTime.h"
#include "ValdinaVersion.h"

namespace {

constexpr const char* kExitCodeHelp =
    "Numbers are decimal or 0x hexadecimal.\n\n"
    "Exit codes:\n"
    "  0   the command succeeded; for verify, every card present is Good\n"
    "  1   verify: the pass ran to its end but some card present is not Good\n"
    "  1   compare: the images differ; restore: restored, but the card is not Good\n"
    "  2   the scan failed, the mainframe did not answer at the start of the pass,\n"
    "      clear, peek, poke, dump or save failed, or the report file or the output\n"
    "      could not be written; doctor: some step failed; poke, restore: a byte did\n"
    "      not read back as written or the bus failed (the address is named);\n"
    "      history: the card history could not be read\n"
    "  3   refused before anything was written: an image file that is no image, a\n"
    "      channel without a card, a serial that does not match (restore without\n"
    "      --force), files that exist already (save without --force), a write that\n"
    "      the card history cannot record (poke, restore without --no-history)\n"
    "  64  usage error (nothing is sent to the mainframe)\n"
    "  130, 143  scan, verify, save --all or restore stopped by SIGINT or SIGTERM after the card in\n"
    "      progress; the table is printed as it stands (a second signal ends it at once)\n";

// Stores the value and returns an empty text, or returns the usage error; `refuse`
// says what is wrong with a number, or nothing.
template <typename T, typename Refuse>
std::string NumberArgument(const char* name, const std::string& text, T& value, Refuse refuse)
{
    const std::optional<std::uint32_t> parsed = ParseCliNumber(text);
    if (!parsed)
        return std::string(name) + ": \"" + text + "\" is not a decimal or 0x hexadecimal number";
    if (const std::string refused = refuse(*parsed); !refused.empty())
        return std::string(name) + ": " + refused;
    value = static_cast<T>(*parsed);
    return {};
}

template <typename T>
std::string NumberArgument(const char* name, const std::string& text, std::uint32_t maximum, T& value)
{
    return NumberArgument(name, text, value, [&](std::uint32_t parsed) {
        return parsed > maximum ? text + " is outside 0.." + std::to_string(maximum) : std::string();
    });
}

// An EEPROM address or byte, refused in the words the window uses.
template <typename T>
std::string EepromArgument(const char* name, const std::string& text, const EepromRange& range, T& value)
{
    return NumberArgument(name, text, value,
                          [&](std::uint32_t parsed) { return EepromRangeRefusal(range, text, parsed); });
}

// "5", "37-40": the channels named, each once, in increasing order; or the usage error.
std::string ChannelList(const std::vector<std::string>& words, std::vector<int>& channels)
{
    std::vector<bool> named(256, false);
    for (const std::string& word : words) {
        const std::size_t dash = word.find('-', 1);
        std::uint32_t first = 0;
        std::uint32_t last = 0;
        std::string error = NumberArgument("CHANNEL", word.substr(0, dash), 255, first);
        if (error.empty())
            error = dash == std::string::npos ? NumberArgument("CHANNEL", word, 255, last)
                                              : NumberArgument("CHANNEL", word.substr(dash + 1), 255, last);
        if (error.empty() && last < first)
            error = "CHANNEL: the range " + word + " runs backwards";
        if (!error.empty())
            return error;
        for (std::uint32_t channel = first; channel <= last; ++channel)
            named[channel] = true;
    }
    for (int channel = 0; channel < 256; ++channel) {
        if (named[static_cast<std::size_t>(channel)])
            channels.push_back(channel);
    }
    return {};
}

// The first argument that is not an option, or an empty text.
std::string FirstWord(const std::vector<std::string>& arguments)
{
    for (const std::string& argument : arguments) {
        if (!argument.empty() && argument[0] != '-')
            return argument;
    }
    return {};
}

// The arguments as one line, each word with spaces or quotes in double quotes.
std::string CommandLine(int argc, const char* const* argv)
{
    std::string line;
    for (int i = 1; i < argc; ++i) {
        std::string word = argv[i];
        if (word.empty() || word.find_first_of(" \t\"'") != std::string::npos) {
            std::string quoted = "\"";
            for (char c : word)
                quoted += c == '"' ? std::string("\\\"") : std::string(1, c);
            word = quoted + "\"";
        }
        line += (line.empty() ? "" : " ") + word;
    }
    return line;
}

} // namespace

bool RecordsHistory(CliCommand command)
{
    switch (command) {
    case CliCommand::Scan:
    case CliCommand::Verify:
    case CliCommand::Poke:
    case CliCommand::Save:
    case CliCommand::SaveAll:
    case CliCommand::Restore:
        return true;
    case CliCommand::Clear:
    case CliCommand::Peek:
    case CliCommand::Dump:
    case CliCommand::Doctor:
    case CliCommand::Compare:
    case CliCommand::History:
        break;
    }
    return false;
}

CliParseOutcome ParseCliOptions(int argc, const char* const* argv, std::ostream& out, std::ostream& err)
{
    CLI::App app{"Zentra EEPROM Verify: scans and verifies the channel cards of the Zentra mainframe", "valdina-cli"};
    app.require_subcommand(1);
    app.fallthrough();  // the global options may also follow the command
    app.footer(kExitCodeHelp);

    CliOptions options;
    app.add_option("--report", options.reportPath, "scan, verify: also write the report file")->type_name("FILE");
    app.add_flag("--json", options.json, "scan, verify, compare, history: print the table, failures, differences or entries as JSON");
    app.add_flag("--trace", options.trace, "print every mainframe transaction on standard error");
    std::string board;
    std::string busAddress;
    app.add_option("--board", board, "GPIB board index 0..15 (default 0)")->type_name("N");
    app.add_option("--address", busAddress, "the mainframe's primary GPIB address 0..30 (default 29)")
        ->type_name("N");
    app.add_option("--junit", options.junitPath, "scan, verify: also write the cards as JUnit XML")->type_name("FILE");
    app.add_option("--history", options.historyPath,
                   "the card history (SQLite) to record into or read; default: VALDINA_HISTORY, else "
#ifdef _WIN32
                   "%LOCALAPPDATA%\\Valdina\\history.sqlite"
#else
                   "$XDG_DATA_HOME/valdina/history.sqlite"
#endif
                   )
        ->type_name("FILE");
    app.add_flag("--no-history", options.noHistory,
                 "scan, verify, poke, save, restore: record nothing in the card history; writes go unrecorded");
    app.set_version_flag("--version", std::string("valdina-cli ") + VALDINA_VERSION, "print the version and exit");

    std::string channel;
    std::string address;
    std::string byte;
    const auto addChannel = [&](CLI::App* command) {
        command->add_option("CHANNEL", channel, "card position 0..255 (rack * 16 + slot)")
            ->required()
            ->type_name("NUMBER");
    };
    const auto addAddress = [&](CLI::App* command) {
        command->add_option("ADDRESS", address, "EEPROM address 0..0xFFFF")->required()->type_name("NUMBER");
    };

    CLI::App* scan = app.add_subcommand("scan", "find the installed cards and print the report");
    CLI::App* verify = app.add_subcommand("verify", "scan, verify every card found (or those named) and print the report");
    std::vector<std::string> verifyChannels;
    verify->add_option("CHANNEL", verifyChannels, "only these cards: positions 0..255 or ranges such as 37-40")
        ->type_name("CHANNEL...");
    CLI::App* clear = app.add_subcommand("clear", "send GPIB Device Clear to the mainframe");
    CLI::App* peek = app.add_subcommand("peek", "read one EEPROM byte of a card");
    addChannel(peek);
    addAddress(peek);
    CLI::App* poke = app.add_subcommand("poke", "write one EEPROM byte of a card");
    addChannel(poke);
    addAddress(poke);
    poke->add_option("BYTE", byte, "the byte 0..0xFF")->required()->type_name("NUMBER");
    CLI::App* dump = app.add_subcommand("dump", "print a card's whole EEPROM image and its blocks");
    addChannel(dump);
    CLI::App* doctor =
        app.add_subcommand("doctor", "check each step from the driver library to the mainframe and say what to fix");

    CLI::App* history = app.add_subcommand(
        "history", "print a card's history, newest first: each run that saw it and each write into it");
    history->add_option("SERIAL", options.historySerial, "the card's serial")->type_name("SERIAL");
    std::string historyChannel;
    history->add_option("--channel", historyChannel, "the cards at this position 0..255, whatever their serials")
        ->type_name("N");
    std::string since;
    history->add_option("--since", since, "only entries from this UTC date or time on: 2026-12-01, 2026-12-01T08:30")
        ->type_name("DATE");
    history->add_flag("--writes", options.writesOnly, "only the writes into the card");
    history->add_flag("--csv", options.csv, "print CSV (for a spreadsheet)");

    std::string first;
    std::string second;
    std::string folder;
    CLI::App* save = app.add_subcommand("save", "save a card's EEPROM image (.bin) and its record (.json)");
    save->add_option("CHANNEL", first, "card position 0..255")->type_name("NUMBER");
    save->add_option("FILE", second, "the image file; its record gets the extension .json")->type_name("FILE");
    save->add_option("--all", folder, "scan, then save every card found into DIR, named by serial, model, channel")
        ->type_name("DIR");
    save->add_flag("--force", options.force, "replace an image or record that is there already");
    CLI::App* compare =
        app.add_subcommand("compare", "compare a card's EEPROM image with a file, or two files, by block");
    compare->add_option("FIRST", first, "a card position 0..255, or an image file")->required()->type_name("CHANNEL|FILE");
    compare->add_option("FILE", second, "an image file")->required()->type_name("FILE");
    CLI::App* restore =
        app.add_subcommand("restore", "write an image file back into a card, every byte read back");
    addChannel(restore);
    restore->add_option("FILE", second, "the image file")->required()->type_name("FILE");
    restore->add_flag("--force", options.force,
                      "restore an image recorded for another serial, with no record, or with invalid blocks");

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        app.exit(e, out, err);
        return {std::nullopt, kExitOk};
    } catch (const CLI::CallForAllHelp& e) {
        app.exit(e, out, err);
        return {std::nullopt, kExitOk};
    } catch (const CLI::CallForVersion& e) {
        app.exit(e, out, err);
        return {std::nullopt, kExitOk};
    } catch (const CLI::ParseError& e) {
        // A word that is no command is named, rather than "a subcommand is required".
        const std::string unknown = app.get_subcommands().empty() ? FirstWord(app.remaining()) : std::string();
        if (unknown.empty())
            app.exit(e, out, err);
        else
            err << "valdina-cli: \"" << unknown << "\" is not a command\nRun with --help for more information.\n";
        return {std::nullopt, kExitUsage};
    }

    if (scan->parsed())
        options.command = CliCommand::Scan;
    else if (verify->parsed())
        options.command = CliCommand::Verify;
    else if (clear->parsed())
        options.command = CliCommand::Clear;
    else if (peek->parsed())
        options.command = CliCommand::Peek;
    else if (poke->parsed())
        options.command = CliCommand::Poke;
    else if (dump->parsed())
        options.command = CliCommand::Dump;
    else if (doctor->parsed())
        options.command = CliCommand::Doctor;
    else if (save->parsed())
        options.command = save->count("--all") > 0 ? CliCommand::SaveAll : CliCommand::Save;
    else if (compare->parsed())
        options.command = CliCommand::Compare;
    else if (restore->parsed())
        options.command = CliCommand::Restore;
    else if (history->parsed())
        options.command = CliCommand::History;
    options.commandLine = CommandLine(argc, argv);

    const bool table = options.command == CliCommand::Scan || options.command == CliCommand::Verify;
    const bool report = app.count("--report") > 0;
    const bool junit = app.count("--junit") > 0;
    std::string error;
    if (!table && report)
        error = "--report: only scan and verify write a report";
    else if (!table && junit)
        error = "--junit: only scan and verify write JUnit XML";
    else if (junit && options.junitPath.empty())
        error = "--junit: the file name is empty";
    else if (junit && report && options.junitPath == options.reportPath)
        error = "--junit: the report file cannot also be the JUnit file";
    else if (!table && options.json && options.command != CliCommand::Compare
             && options.command != CliCommand::History)
        error = "--json: only scan, verify, compare and history print JSON";
    else if (options.noHistory && app.count("--history") > 0)
        error = "--no-history: a run cannot both record into --history and record nothing";
    else if (options.noHistory && !RecordsHistory(options.command))
        error = "--no-history: only scan, verify, poke, save and restore record into the card history";
    else if (app.count("--history") > 0 && options.historyPath.empty())
        error = "--history: the file name is empty";
    else if (report && options.reportPath.empty())
        error = "--report: the file name is empty";
    if (error.empty() && verify->parsed())
        error = ChannelList(verifyChannels, options.channels);
    if (error.empty() && history->parsed()) {
        options.historyByChannel = history->count("--channel") > 0;
        if (options.historyByChannel == !options.historySerial.empty())
            error = "history needs a SERIAL or --channel N, not both";
        else if (options.historyByChannel)
            error = NumberArgument("--channel", historyChannel, 255, options.channel);
        if (error.empty() && options.csv && options.json)
            error = "--csv: the history prints CSV or JSON, not both";
        if (error.empty() && history->count("--since") > 0) {
            const std::optional<std::string> parsed = ParseUtcSince(since);
            if (parsed)
                options.since = *parsed;
            else
                error = "--since: \"" + since + "\" is not a date; give it as 2026-12-01 or 2026-12-01T08:30 (UTC)";
        }
    }
    if (error.empty() && (peek->parsed() || poke->parsed() || dump->parsed() || restore->parsed()))
        error = NumberArgument("CHANNEL", channel, 255, options.channel);
    if (error.empty() && options.command == CliCommand::SaveAll) {
        if (!first.empty())
            error = "save --all DIR takes no CHANNEL or FILE";
        else if (folder.empty())
            error = "--all: the folder name is empty";
        options.imagePath = folder;
    } else if (error.empty() && options.command == CliCommand::Save) {
        if (second.empty())
            error = "save needs CHANNEL and FILE, or --all DIR";
        else
            error = NumberArgument("CHANNEL", first, 255, options.channel);
        options.imagePath = second;
    } else if (error.empty() && options.command == CliCommand::Compare) {
        // A first word that reads as a number is a card: a file of that name is ./37.
        options.compareChannel = ParseCliNumber(first).has_value();
        if (options.compareChannel) {
            error = NumberArgument("CHANNEL", first, 255, options.channel);
            options.imagePath = second;
        } else {
            options.imagePath = first;
            options.secondImagePath = second;
        }
    } else if (options.command == CliCommand::Restore) {
        options.imagePath = second;
    }
    if (error.empty() && (peek->parsed() || poke->parsed()))
        error = EepromArgument("ADDRESS", address, kEepromAddressRange, options.address);
    if (error.empty() && poke->parsed())
        error = EepromArgument("BYTE", byte, kEepromByteRange, options.byte);
    // linux-gpib serves 16 boards; addresses 0..30 are the primary ones.
    if (error.empty() && app.count("--board") > 0)
        error = NumberArgument("--board", board, 15, options.board);
    if (error.empty() && app.count("--address") > 0)
        error = NumberArgument("--address", busAddress, 30, options.busAddress);
    if (!error.empty()) {
        err << "valdina-cli: " << error << "\nRun with --help for more information.\n";
        return {std::nullopt, kExitUsage};
    }
    return {options, kExitOk};
}
