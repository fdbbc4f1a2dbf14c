// The command set through the real loading path: the process binding finds the
// simulated mainframe as libgpib.so.0 on the loader's search path.

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <vector>

#include "CInstrument.h"
#include "DecimalCommaLocale.h"
#include "SimScenario.h"

using valdina::test::BusLog;
using valdina::test::DecimalCommaLocale;
using valdina::test::SimScenario;
using valdina::test::TestImages;
using Json = nlohmann::json;

namespace {

Json Cards(std::initializer_list<int> channels)
{
    Json cards = Json::array();
    for (int channel : channels)
        cards.push_back({{"channel", channel}});
    return cards;
}

std::vector<std::string> Sent(const SimScenario& scenario)
{
    return scenario.busLog().commands();
}

} // namespace

// A desktop with a decimal comma changes nothing on the bus.
TEST(CommandSet, CommandTextsAndFramesForChannelsAtBothEndsUnderEitherLocale)
{
    const std::vector<std::string> expected = {
        "S 0", "Q5 7", "Q5 6", "C1D1", "C1D?", "G 1000.00", "G 1.00",
        "<0000012001F0", "<0000012201F0", ">000001A001F05A",
        "S 37", "Q5 7", "Q5 6", "C1D1", "C1D?", "G 1000.00", "G 1.00",
        "<0200202001F0", "<0200202201F0", ">020020A001F05A",
        "S 255", "Q5 7", "Q5 6", "C1D1", "C1D?", "G 1000.00", "G 1.00",
        "<0F80002001F0", "<0F80002201F0", ">0F8000A001F05A",
    };
    for (const bool decimalComma : {false, true}) {
        std::optional<DecimalCommaLocale> locale;
        if (decimalComma) {
            ASSERT_TRUE(locale.emplace().Active()) << DecimalCommaLocale::kName << " is missing: run scripts/install-deps";
        }
        SimScenario scenario({{"cards", Cards({0, 37, 255})}});
        CInstrument instrument;
        std::uint8_t byte = 0;
        std::uint8_t four[4];
        char text[8];

        for (int channel : {0, 37, 255}) {
            ASSERT_EQ(instrument.Select(channel), 1) << instrument.ErrorText();
            ASSERT_EQ(instrument.QuerySN(text), 1);
            ASSERT_EQ(instrument.QueryModel(text), 1);
            ASSERT_EQ(instrument.SetOpMode(1), 1);
            ASSERT_EQ(instrument.GetOpMode(&byte), 1);
            ASSERT_EQ(instrument.SetGain(1000.0f), 1) << instrument.ErrorText();
            ASSERT_EQ(instrument.SetGain(1.0f), 1);
            ASSERT_EQ(instrument.RdEe1(channel, 0x01F0, &byte), 1);
            ASSERT_EQ(instrument.RdEe4(channel, 0x01F0, four), 1);
            ASSERT_EQ(instrument.WrEe1(channel, 0x01F0, 0x5A), 1);
        }
        EXPECT_EQ(Sent(scenario), expected);
    }
}

TEST(CommandSet, ReadsBackWhatWasWrittenAndTheIdentity)
{
    SimScenario scenario({{"cards", {{{"channel", 37}, {"serial", "00001234"}, {"model", "T213"}, {"mode", 6}}}}});
    CInstrument instrument;

    char serial[16] = {};
    char model[16] = {};
    std::uint8_t mode = 0;
    ASSERT_EQ(instrument.Select(37), 1);
    ASSERT_EQ(instrument.QuerySN(serial), 1);
    ASSERT_EQ(instrument.QueryModel(model), 1);
    ASSERT_EQ(instrument.GetOpMode(&mode), 1);
    EXPECT_STREQ(serial, "00001234");
    EXPECT_STREQ(model, "T213");
    EXPECT_EQ(mode, 6);

    ASSERT_EQ(instrument.WrEe1(37, 0x0102, 0xA5), 1);
    std::uint8_t one = 0;
    std::uint8_t four[4] = {};
    ASSERT_EQ(instrument.RdEe1(37, 0x0102, &one), 1);
    ASSERT_EQ(instrument.RdEe4(37, 0x0100, four), 1);
    EXPECT_EQ(one, 0xA5);
    EXPECT_EQ(four[2], 0xA5);
}

TEST(CommandSet, PresenceWordsAreLowByteFirstOneWordPerRack)
{
    SimScenario scenario({{"cards", Cards({0, 5, 15, 17, 255})}});
    CInstrument instrument;
    std::uint8_t presence[32];
    ASSERT_EQ(instrument.QueryPresent(presence), 1);
    EXPECT_EQ(presence[0], 0x21);
    EXPECT_EQ(presence[1], 0x80);
    EXPECT_EQ(presence[2], 0x02);
    EXPECT_EQ(presence[3], 0x00);
    EXPECT_EQ(presence[31], 0x80);
    EXPECT_EQ(std::count(presence, presence + 32, 0), 28);
}

TEST(CommandSet, WholeImageIsRead128TimesFourBytes)
{
    const TestImages::Image image = TestImages::valid(11, {"Rcal"});
    SimScenario scenario({{"cards", {SimScenario::imageCard(37, image)}}});
    CInstrument instrument;
    EepromImage read{};
    ASSERT_EQ(instrument.ReadEepromImage(37, read), 1);
    EXPECT_TRUE(std::equal(read.begin(), read.end(), image.begin()));
    const auto sent = Sent(scenario);
    ASSERT_EQ(sent.size(), 128u);
    EXPECT_EQ(sent.front(), "<020020220000");
    EXPECT_EQ(sent.back(), "<0200202201FC");
}

TEST(CommandSet, ImageReadFailingAtAddress256LeavesTheRestUntouched)
{
    const TestImages::Image image = TestImages::valid(5);
    SimScenario scenario({{"cards", {SimScenario::imageCard(37, image)}},
                          {"faults", {{{"command", "RdEe4"}, {"channel", 37}, {"address", 256}, {"kind", "timeout"}}}}});
    CInstrument instrument;
    EepromImage read;
    read.fill(0xEE);
    EXPECT_EQ(instrument.ReadEepromImage(37, read), 0);
    EXPECT_EQ(instrument.Operation(), "RdEe4");
    EXPECT_EQ(instrument.ErrorText(), "GPIB error 6 (Receive)");
    EXPECT_TRUE(std::equal(read.begin(), read.begin() + 256, image.begin()));
    EXPECT_TRUE(std::all_of(read.begin() + 256, read.end(), [](std::uint8_t b) { return b == 0xEE; }));
    EXPECT_EQ(Sent(scenario).size(), 65u) << "stops at the first failure";
}

TEST(CommandSet, ShortEepromReplyFailsUnderItsOwnLabel)
{
    SimScenario scenario({{"cards", Cards({3})},
                          {"faults", {{{"command", "RdEe1"}, {"kind", "short_reply"}, {"bytes", 3}}}}});
    CInstrument instrument;
    std::uint8_t byte = 0x77;
    EXPECT_EQ(instrument.RdEe1(3, 0, &byte), 0);
    EXPECT_EQ(byte, 0x77);
    EXPECT_EQ(instrument.Operation(), "RdEe1");
    EXPECT_EQ(instrument.ErrorText(), "Short reply (3 of 5 bytes)");
}

TEST(Connection, MainframeOffTheBusIsNotFoundAndCommandsFailToSend)
{
    SimScenario scenario({{"off_bus", true}});
    CInstrument instrument;
    EXPECT_EQ(instrument.IsListener(), 0);
    EXPECT_EQ(instrument.ErrorText(), "GPIB device 29 not found");
    EXPECT_EQ(instrument.Select(1), 0);
    EXPECT_EQ(instrument.ErrorText(), "GPIB error 2 (Send)");
    EXPECT_EQ(instrument.Operation(), "Select");
}

TEST(Connection, NotControllerInChargeIsRecoveredOnce)
{
    SimScenario scenario({{"ecic_find_lstn", 1}, {"ecic_dev_clear", 1}, {"cards", Cards({1})}});
    CInstrument instrument;
    EXPECT_EQ(instrument.IsListener(), 1);
    EXPECT_EQ(instrument.DevClear(), 1);
    std::vector<std::string> routines;
    const BusLog log = scenario.busLog();
    for (const auto& record : log.records())
        routines.push_back(record.routine);
    EXPECT_EQ(routines, (std::vector<std::string>{"FindLstn", "SendIFC", "FindLstn", "DevClear", "SendIFC", "DevClear"}));
}

TEST(Connection, EveryNameSetOfTheDriverGivesTheSameOutcome)
{
    SimScenario scenario({{"cards", {{{"channel", 9}, {"serial", "ABCDEFGH"}}}}});
    const char* library = gpib::kPlatformDriverNames.library;
    std::vector<gpib::DriverNames> nameSets{{library, "ibsta", "iberr", "ibcntl", true},
                                            {library, "user_ibsta", "user_iberr", "user_ibcntl", false}};
#ifdef _WIN32
    nameSets.push_back({library, "Ibsta", "Iberr", "Ibcnt", false, true});
#endif
    for (const gpib::DriverNames& names : nameSets) {
        gpib::CGpibBinding bus(names);
        CInstrument instrument(bus);
        char serial[9] = {};
        EXPECT_EQ(instrument.IsListener(), 1);
        EXPECT_EQ(instrument.Select(9), 1);
        EXPECT_EQ(instrument.QuerySN(serial), 1);
        EXPECT_STREQ(serial, "ABCDEFGH");
        EXPECT_EQ(bus.Status().ibcntl, 1) << "the serial poll's count";
        EXPECT_EQ(instrument.Select(10), 0) << "no card in slot 10";
        EXPECT_EQ(instrument.ErrorText(), "Instrument error (0x02)");
    }
}
