// The printed forms of valdina-cli: hex dump, block listing, JSON, trace lines,
// the progress bar and doctor's advice, each checked against the data it was made from.

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "BlockListing.h"
#include "DecimalCommaLocale.h"
#include "DoctorAdvice.h"
#include "GpibCodes.h"
#include "HexDump.h"
#include "JsonReport.h"
#include "CTerminalProgress.h"
#include "TestImages.h"
#include "TextLines.h"
#include "CTraceLog.h"

using valdina::test::DecimalCommaLocale;
using valdina::test::TestImages;

using valdina::test::SplitLines;

namespace {

EepromImage ToImage(const TestImages::Image& bytes)
{
    EepromImage image{};
    std::memcpy(image.data(), bytes.data(), image.size());
    return image;
}

TEST(HexDump, SixteenBytesALineUnderTheirAddress)
{
    const EepromImage image = ToImage(TestImages::valid(7));
    const std::vector<std::string> lines = SplitLines(FormatHexDump(image));
    ASSERT_EQ(lines.size(), 32u);
    for (std::size_t line = 0; line < lines.size(); ++line) {
        std::istringstream fields(lines[line]);
        unsigned address = 0;
        fields >> std::hex >> address;
        EXPECT_EQ(address, line * 16);
        for (std::size_t i = 0; i < 16; ++i) {
            unsigned byte = 0x100;
            fields >> std::hex >> byte;
            EXPECT_EQ(byte, image[line * 16 + i]) << "line " << line << " byte " << i;
        }
        std::string rest;
        EXPECT_FALSE(fields >> rest) << lines[line];
    }
}

std::string BlockLine(const std::string& listing, const std::string& name)
{
    for (const std::string& line : SplitLines(listing)) {
        if (line.rfind(name + " ", 0) == 0)
            return line;
    }
    return {};
}

TEST(BlockListing, NamesEachBlockWithItsSumAndVerdict)
{
    const TestImages::Image bytes = TestImages::valid(3, {"gain", "Xmon"});
    CChannelInfo card;
    std::strcpy(card.m_szModel, "T210");
    const std::string listing = FormatBlockListing(ToImage(bytes), card);

    for (const TestImages::Block& block : TestImages::blocks()) {
        const std::string line = BlockLine(listing, std::string(block.name));
        ASSERT_FALSE(line.empty()) << block.name << "\n" << listing;
        unsigned sum = 0;
        for (int i = block.offset; i < block.offset + block.length; ++i)
            sum += bytes[static_cast<std::size_t>(i)];
        char expected[64];
        std::snprintf(expected, sizeof expected, "%d %d 0x%02X %s", block.offset, block.length, sum % 256,
                      TestImages::blockValid(bytes, block.name) ? "valid" : "invalid");
        std::istringstream fields(line);
        std::string name, offset, length, hexSum, verdict;
        fields >> name >> offset >> length >> hexSum >> verdict;
        EXPECT_EQ(offset + " " + length + " " + hexSum + " " + verdict, expected);
        EXPECT_EQ(line.find("not checked"), std::string::npos) << line;
    }
    EXPECT_NE(BlockLine(listing, "gain").find("invalid"), std::string::npos);
}

TEST(BlockListing, MarksTheBlocksAnExemptModelSkips)
{
    CChannelInfo card;
    std::strcpy(card.m_szModel, "T208");
    const std::string listing = FormatBlockListing(ToImage(TestImages::erased()), card);
    EXPECT_NE(listing.find("exempt"), std::string::npos);
    EXPECT_EQ(BlockLine(listing, "Header").find("not checked"), std::string::npos);
    for (const char* skipped : {"gain", "filter", "Rcal", "Vexc", "Iexc", "Xmon"})
        EXPECT_NE(BlockLine(listing, skipped).find("not checked"), std::string::npos) << skipped;
}

TEST(JsonReport, ListsPresentCardsAndTheFailuresShown)
{
    ChannelTable channels;
    channels[5].m_nStatus = StatusGood;
    std::strcpy(channels[5].m_szSerial, "21000005");
    std::strcpy(channels[5].m_szModel, "T210");
    channels[37].m_nStatus = StatusFail;
    channels[37].m_strError = "invalid checksum (Xmon)";
    // A serial the card sent as raw bytes that are no UTF-8.
    channels[40].m_nStatus = StatusReading;
    std::strcpy(channels[40].m_szSerial, "AB\xFF\xFE");

    const nlohmann::json report =
        nlohmann::json::parse(FormatJsonReport(channels, {"SRQ not asserted during \"RdEe4\""}));
    ASSERT_EQ(report["channels"].size(), 3u);
    const nlohmann::json& good = report["channels"][0];
    EXPECT_EQ(good["channel"], 5);
    EXPECT_EQ(good["rack"], 0);
    EXPECT_EQ(good["slot"], 5);
    EXPECT_EQ(good["serial"], "21000005");
    EXPECT_EQ(good["model"], "T210");
    EXPECT_EQ(good["state"], "Good");
    EXPECT_EQ(good["error"], "");
    const nlohmann::json& failed = report["channels"][1];
    EXPECT_EQ(failed["rack"], 2);
    EXPECT_EQ(failed["slot"], 5);
    EXPECT_EQ(failed["state"], "Fail");
    EXPECT_EQ(failed["error"], "invalid checksum (Xmon)");
    EXPECT_EQ(report["channels"][2]["state"], "reading");
    EXPECT_EQ(report["channels"][2]["serial"].get<std::string>().substr(0, 2), "AB");
    EXPECT_EQ(report["failures"], nlohmann::json::array({"SRQ not asserted during \"RdEe4\""}));
}

TEST(TraceLog, OneLineWithCommandReplyStatusAndOutcomeWhateverTheLocale)
{
    // The duration keeps its decimal point on a decimal-comma desktop.
    const DecimalCommaLocale locale;
    ASSERT_TRUE(locale.Active()) << DecimalCommaLocale::kName << " is missing: run scripts/install-deps";
    const std::uint8_t reply[] = {0x00, 0x01, 0xA0, 0xFF, 0x5A};
    TransactionRecord record;
    record.command = "<0200202001F0";
    record.label = "RdEe1";
    record.reply = reply;
    record.statusByte = 0x40;
    record.ok = true;
    record.duration = std::chrono::microseconds(1500);
    std::ostringstream stream;
    CTraceLog(stream).OnTransaction(record);
    EXPECT_EQ(stream.str(), "trace: RdEe1 \"<0200202001F0\" reply=0001A0FF5A stb=0x40 ok 1.500 ms\n");

    TransactionRecord failed;
    failed.command = "S 3";
    failed.label = "Select";
    failed.errorText = "SRQ not asserted";
    EXPECT_EQ(CTraceLog::FormatLine(failed), "trace: Select \"S 3\" reply=- stb=- failed: SRQ not asserted 0.000 ms");
}

TEST(TerminalProgress, RedrawsOneLineAndEndsIt)
{
    std::ostringstream stream;
    CTerminalProgress progress(stream);
    progress.BeginPass(PassKind::Verify);
    progress.ChannelDone(PassKind::Verify, 1, 4, 3, StatusGood);
    progress.ChannelDone(PassKind::Verify, 4, 4, 200, StatusFail);
    progress.EndPass(PassKind::Verify);
    const std::string text = stream.str();
    EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), 2);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1);
    EXPECT_EQ(text.back(), '\n');
    EXPECT_NE(text.find("1/4"), std::string::npos);
    EXPECT_NE(text.find("[" + std::string(40, '#') + "] 4/4"), std::string::npos);

    std::ostringstream idle;
    CTerminalProgress nothing(idle);
    nothing.BeginPass(PassKind::Scan);
    nothing.EndPass(PassKind::Scan);
    EXPECT_TRUE(idle.str().empty());
}

} // namespace

// Advice in the terms of the driver at hand: NI-488.2's never names linux-gpib's
// files and tools, whatever the code, and the codes an operator can mend name
// the setting or tool that mends them.
TEST(DoctorAdvice, FitsTheDriverAtHand)
{
    for (const gpib::ErrorCode& code : gpib::kErrorCodes) {
        for (const long ibcntl : {0L, long{ENOENT}, long{EACCES}, long{EBADF}, long{ENXIO}}) {
            const std::string advice = BoardErrorAdvice(DriverFamily::Ni4882, code.code, ibcntl, 2);
            for (const char* linuxOnly : {"gpib.conf", "gpib_config", "/dev/", "modprobe", "udev", "usermod", "master ="})
                EXPECT_EQ(advice.find(linuxOnly), std::string::npos) << code.name << " " << ibcntl << ": " << advice;
        }
    }
    const struct {
        DriverFamily family;
        int iberr;
        long ibcntl;
        const char* says;
    } rows[] = {
        {DriverFamily::Ni4882, gpib::ECIC, 0, "in NI MAX (or GPIB Explorer) open GPIB2's settings and turn on \"System Controller\""},
        {DriverFamily::Ni4882, gpib::ESAC, 0, "turn on \"System Controller\""},
        {DriverFamily::Ni4882, gpib::EARG, 0, "check --board against the GPIB interfaces NI MAX lists (GPIB2 is board 2)"},
        {DriverFamily::Ni4882, gpib::ENEB, 0, "GPIB2 is board 2"},
        {DriverFamily::Ni4882, gpib::EDVR, 2, "install or repair the NI-488.2 driver"},
        {DriverFamily::LinuxGpib, gpib::ESAC, 0, "set master = yes in its gpib.conf entry and run gpib_config again"},
        {DriverFamily::LinuxGpib, gpib::EDVR, ENOENT, "/dev/gpib2 is missing"},
    };
    for (const auto& row : rows)
        EXPECT_NE(BoardErrorAdvice(row.family, row.iberr, row.ibcntl, 2).find(row.says), std::string::npos)
            << row.iberr << ": " << BoardErrorAdvice(row.family, row.iberr, row.ibcntl, 2);
}
