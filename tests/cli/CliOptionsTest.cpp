// The command line as parsed in-process: what runs, and what is refused.

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "CliOptions.h"
#include "ExitCode.h"

namespace {

struct Parsed {
    CliParseOutcome outcome;
    std::string out;
    std::string err;
};

Parsed Parse(std::vector<std::string> arguments)
{
    arguments.insert(arguments.begin(), "valdina-cli");
    std::vector<const char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(argument.c_str());
    std::ostringstream out;
    std::ostringstream err;
    Parsed parsed;
    parsed.outcome = ParseCliOptions(static_cast<int>(argv.size()), argv.data(), out, err);
    parsed.out = out.str();
    parsed.err = err.str();
    return parsed;
}

TEST(CliOptions, NumbersAreDecimalOrHexadecimal)
{
    const Parsed poke = Parse({"poke", "37", "0x1F0", "0x5a"});
    ASSERT_TRUE(poke.outcome.options.has_value()) << poke.err;
    EXPECT_EQ(poke.outcome.options->command, CliCommand::Poke);
    EXPECT_EQ(poke.outcome.options->channel, 37);
    EXPECT_EQ(poke.outcome.options->address, 0x1F0);
    EXPECT_EQ(poke.outcome.options->byte, 0x5A);

    const Parsed limits = Parse({"poke", "0xFF", "65535", "255"});
    ASSERT_TRUE(limits.outcome.options.has_value()) << limits.err;
    EXPECT_EQ(limits.outcome.options->channel, 255);
    EXPECT_EQ(limits.outcome.options->address, 0xFFFF);
    EXPECT_EQ(limits.outcome.options->byte, 0xFF);

    const Parsed some = Parse({"verify", "40", "5", "0x25-39", "38"});
    ASSERT_TRUE(some.outcome.options.has_value()) << some.err;
    EXPECT_EQ(some.outcome.options->channels, (std::vector<int>{5, 37, 38, 39, 40}));

    const Parsed zero = Parse({"peek", "0", "0x0"});
    ASSERT_TRUE(zero.outcome.options.has_value()) << zero.err;
    EXPECT_EQ(zero.outcome.options->channel, 0);
    EXPECT_EQ(zero.outcome.options->address, 0);
}

TEST(CliOptions, RefusesOtherFormsNamingTheArgument)
{
    struct Case {
        std::vector<std::string> arguments;
        std::string named;
    };
    const std::vector<Case> cases{
        {{"peek", "256", "0"}, "CHANNEL"},
        {{"peek", "-1", "0"}, "CHANNEL"},
        {{"dump", "abc"}, "CHANNEL"},
        {{"dump", "12x"}, "CHANNEL"},
        {{"dump", "010"}, "CHANNEL"},          // would be octal under the number rule
        {{"peek", "1", "0x10000"}, "ADDRESS"},
        {{"peek", "1", "99999999999"}, "ADDRESS"},  // would saturate
        {{"peek", "1", "0x"}, "ADDRESS"},
        {{"peek", "1", " 5"}, "ADDRESS"},
        {{"poke", "1", "2", "256"}, "BYTE"},
        {{"poke", "1", "2", "0x1FF"}, "BYTE"},
        {{"poke", "1", "2", ""}, "BYTE"},
        {{"poke", "1", "2"}, "BYTE"},          // missing
        {{"verify", "37-256"}, "CHANNEL"},
        {{"verify", "40-37"}, "CHANNEL"},
        {{"verify", "5", "x"}, "CHANNEL"},
        {{"scan", "--board", "16"}, "--board"},
        {{"scan", "--board", "-1"}, "--board"},
        {{"doctor", "--board", "1e0"}, "--board"},
        {{"scan", "--address", "31"}, "--address"},
        {{"scan", "--address", "029"}, "--address"},
        {{"--address", "", "doctor"}, "--address"},
        {{"save", "37"}, "save needs CHANNEL and FILE"},
        {{"save", "x", "f.bin"}, "CHANNEL"},
        {{"save", "--all", "d", "37"}, "takes no CHANNEL"},
        {{"restore", "256", "f.bin"}, "CHANNEL"},
        {{"compare", "300", "f.bin"}, "CHANNEL"},
        {{"restore", "37", "f.bin", "--json"}, "--json"},
        {{"history"}, "SERIAL or --channel"},
        {{"history", "21000005", "--channel", "5"}, "not both"},
        {{"history", "--channel", "256"}, "--channel"},
        {{"history", "21000005", "--csv", "--json"}, "--csv"},
        {{"history", "21000005", "--since", "2026-02-30"}, "--since: \"2026-02-30\" is not a date"},
        {{"history", "21000005", "--since", "2026-12-01T25:00"}, "--since"},
        {{"history", "21000005", "--since", "yesterday"}, "--since"},
        {{"history", "21000005", "--no-history"}, "--no-history"},
        {{"peek", "1", "2", "--no-history"}, "--no-history"},
        {{"verify", "--no-history", "--history", "h.sqlite"}, "--no-history"},
        {{"verify", "--history", ""}, "--history"},
    };
    for (const Case& c : cases) {
        const Parsed parsed = Parse(c.arguments);
        EXPECT_FALSE(parsed.outcome.options.has_value()) << c.arguments.back();
        EXPECT_EQ(parsed.outcome.exitCode, kExitUsage) << c.arguments.back();
        EXPECT_NE(parsed.err.find(c.named), std::string::npos) << parsed.err;
    }
}

TEST(CliOptions, HistoryDatesAreReadAsUtcInEveryForm)
{
    for (const auto& [typed, kept] : std::vector<std::pair<std::string, std::string>>{
             {"2026-12-01", "2026-12-01T00:00:00.000000Z"},
             {"2026-12-01T08:30", "2026-12-01T08:30:00.000000Z"},
             {"2026-12-01 08:30:15Z", "2026-12-01T08:30:15.000000Z"},
             {"2024-02-29", "2024-02-29T00:00:00.000000Z"}}) {
        const Parsed parsed = Parse({"history", "21000005", "--since", typed});
        ASSERT_TRUE(parsed.outcome.options.has_value()) << parsed.err;
        EXPECT_EQ(parsed.outcome.options->since, kept);
    }
}

TEST(CliOptions, BoardAndBusAddressDefaultToTheMainframesAndMayBeGivenAnywhere)
{
    const Parsed plain = Parse({"doctor"});
    ASSERT_TRUE(plain.outcome.options.has_value()) << plain.err;
    EXPECT_EQ(plain.outcome.options->command, CliCommand::Doctor);
    EXPECT_EQ(plain.outcome.options->board, 0);
    EXPECT_EQ(plain.outcome.options->busAddress, 29);

    // The bus address is not the EEPROM address of peek and poke.
    const Parsed moved = Parse({"--board", "15", "peek", "3", "0x10", "--address", "0x1E"});
    ASSERT_TRUE(moved.outcome.options.has_value()) << moved.err;
    EXPECT_EQ(moved.outcome.options->board, 15);
    EXPECT_EQ(moved.outcome.options->busAddress, 30);
    EXPECT_EQ(moved.outcome.options->address, 0x10);
    EXPECT_EQ(Parse({"doctor", "--json"}).outcome.exitCode, kExitUsage);
}

TEST(CliOptions, TableOptionsBelongToScanAndVerify)
{
    const Parsed before = Parse({"--json", "--report", "r.txt", "verify"});
    ASSERT_TRUE(before.outcome.options.has_value()) << before.err;
    EXPECT_EQ(before.outcome.options->command, CliCommand::Verify);
    EXPECT_TRUE(before.outcome.options->json);
    EXPECT_EQ(before.outcome.options->reportPath, "r.txt");

    const Parsed after = Parse({"scan", "--trace", "--report", "r.txt"});
    ASSERT_TRUE(after.outcome.options.has_value()) << after.err;
    EXPECT_EQ(after.outcome.options->command, CliCommand::Scan);
    EXPECT_TRUE(after.outcome.options->trace);
    EXPECT_FALSE(after.outcome.options->json);

    const Parsed junit = Parse({"--junit", "j.xml", "verify"});
    ASSERT_TRUE(junit.outcome.options.has_value()) << junit.err;
    EXPECT_EQ(junit.outcome.options->junitPath, "j.xml");

    for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
             {"clear", "--json"}, {"dump", "3", "--report", "r.txt"}, {"scan", "--report", ""}, {}, {"frobnicate"},
             {"scan", "verify"}, {"scan", "--color"}, {"peek", "1", "2", "--junit", "j.xml"}, {"verify", "--junit", ""},
             {"verify", "--junit", "r.txt", "--report", "r.txt"}}) {
        const Parsed parsed = Parse(arguments);
        EXPECT_EQ(parsed.outcome.exitCode, kExitUsage) << (arguments.empty() ? "(none)" : arguments.front());
        EXPECT_FALSE(parsed.err.empty());
    }
}

TEST(CliOptions, UnknownCommandIsNamedWhereverTheOptionsStand)
{
    for (const auto& arguments : std::vector<std::vector<std::string>>{{"bogus"}, {"--json", "bogus", "3"}}) {
        const Parsed parsed = Parse(arguments);
        EXPECT_EQ(parsed.outcome.exitCode, kExitUsage);
        EXPECT_EQ(parsed.err, "valdina-cli: \"bogus\" is not a command\nRun with --help for more information.\n");
    }
}

TEST(CliOptions, HelpListsTheExitCodes)
{
    const Parsed help = Parse({"--help"});
    EXPECT_FALSE(help.outcome.options.has_value());
    EXPECT_EQ(help.outcome.exitCode, kExitOk);
    for (const char* line : {"64", "verify", "peek", "--trace", "Exit codes"})
        EXPECT_NE(help.out.find(line), std::string::npos) << line;
}

} // namespace
