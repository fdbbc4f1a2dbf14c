#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <vector>

#include "CInstrument.h"
#include "FakeDriver.h"
#include "IOperatorMessages.h"
#include "SharedLibrary.h"

namespace {

constexpr int CMPL = gpib::CMPL;
constexpr int ERR_CMPL = gpib::ERR | gpib::CMPL;

class RecordedMessages : public IOperatorMessages {
public:
    void ShowMessage(const std::string& text, MessageIcon icon) override
    {
        texts.push_back(text);
        icons.push_back(icon);
    }
    std::vector<std::string> texts;
    std::vector<MessageIcon> icons;
};

class ConnectionTest : public testing::Test {
protected:
    ConnectionTest() : fake(FAKE_DRIVER), bus(fake.LinuxNames()), instrument(bus) { instrument.SetMessageSink(&messages); }

    std::string Send(const std::string& text) { return "Send:29:" + text + ":" + std::to_string(gpib::NLend); }

    FakeDriver fake;
    gpib::CGpibBinding bus;
    CInstrument instrument;
    RecordedMessages messages;
};

} // namespace

TEST_F(ConnectionTest, TransactionWithReplySendsReceivesWaitsAndPolls)
{
    char reply[32];
    ASSERT_EQ(instrument.Transact("Q2", 2, reply, 32, "QueryPresent"), 1);
    EXPECT_EQ(fake.Log(), Send("Q2") + " Receive:32:256 WaitSRQ ReadStatusByte");
    EXPECT_EQ(instrument.StatusByte(), 0x40);
    EXPECT_EQ(instrument.ErrorText(), "");
    EXPECT_EQ(instrument.Operation(), "");
}

TEST_F(ConnectionTest, CommandWithoutReplyStillWaitsForServiceAndPolls)
{
    char reply[4];
    ASSERT_EQ(instrument.Transact("S 1", 3, nullptr, 0, "Select"), 1);
    ASSERT_EQ(instrument.Transact("S 2", 3, reply, 0, "Select"), 1);
    EXPECT_EQ(fake.Log(), Send("S 1") + " WaitSRQ ReadStatusByte " + Send("S 2") + " WaitSRQ ReadStatusByte");
}

TEST_F(ConnectionTest, EachFailingStepGivesItsTextAndSkipsTheRest)
{
    struct Case {
        FakeRoutine routine;
        int sta, err, value;
        std::string text;
        std::string log;
    };
    const std::string all = Send("Q5 7") + " Receive:8:256 WaitSRQ ReadStatusByte";
    const Case cases[] = {
        {kFakeSend, ERR_CMPL, 2, 0, "GPIB error 2 (Send)", Send("Q5 7")},
        {kFakeReceive, 0xC000, 6, 0, "GPIB error 6 (Receive)", Send("Q5 7") + " Receive:8:256"},
        {kFakeWaitSRQ, ERR_CMPL, 0, 1, "GPIB error 0 (WaitSrq)", Send("Q5 7") + " Receive:8:256 WaitSRQ"},
        {kFakeWaitSRQ, 0x4000, 0, 0, "SRQ not asserted", Send("Q5 7") + " Receive:8:256 WaitSRQ"},
        {kFakeReadStatusByte, ERR_CMPL, 14, 0, "GPIB error 14 (ReadStatusByte)", all},
        {kFakeReadStatusByte, CMPL, 0, 0x41, "Instrument error (0x01)", all},
        {kFakeReadStatusByte, CMPL, 0, 0x7F, "Instrument error (0x3F)", all},
        {kFakeReadStatusByte, CMPL, 0, 0xD0, "Instrument error (0x10)", all},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        fake.Reset();
        fake.Push(c.routine, c.sta, c.err, 0, c.value);
        char reply[8];
        EXPECT_EQ(instrument.Transact("Q5 7", 4, reply, 8, "QuerySN"), 0);
        EXPECT_EQ(instrument.ErrorText(), c.text);
        EXPECT_EQ(instrument.Operation(), "QuerySN");
        EXPECT_EQ(fake.Log(), c.log);
    }
}

TEST_F(ConnectionTest, StatusBitsSixAndSevenAreNoError)
{
    for (int stb : {0x40, 0x80, 0xC0, 0x00}) {
        fake.Push(kFakeReadStatusByte, CMPL, 0, 0, stb);
        EXPECT_EQ(instrument.Transact("S 0", 3, nullptr, 0, "Select"), 1) << stb;
        EXPECT_EQ(instrument.StatusByte(), stb);
    }
    fake.Push(kFakeReadStatusByte, CMPL, 0, 0, 0x45);
    EXPECT_EQ(instrument.Transact("G 1.00", 6, nullptr, 0, "SetGain"), 0);
    EXPECT_EQ(instrument.StatusByte(), 0x45) << "the polled byte is kept on an instrument error";
}

TEST_F(ConnectionTest, SuccessKeepsTheLastFailureAndANewFailureReplacesIt)
{
    fake.Push(kFakeSend, ERR_CMPL, 2, 0, 0);
    EXPECT_EQ(instrument.Transact("S 3", 3, nullptr, 0, "Select"), 0);
    EXPECT_EQ(instrument.Transact("C1D1", 4, nullptr, 0, "SetOpMode"), 1);
    EXPECT_EQ(instrument.ErrorText(), "GPIB error 2 (Send)");
    EXPECT_EQ(instrument.Operation(), "Select");

    fake.Push(kFakeWaitSRQ, CMPL, 0, 0, 0);
    EXPECT_EQ(instrument.Transact("C1D1", 4, nullptr, 0, "SetOpMode"), 0);
    EXPECT_EQ(instrument.ErrorText(), "SRQ not asserted");
    EXPECT_EQ(instrument.Operation(), "SetOpMode");
}

TEST_F(ConnectionTest, DevClearRecoversOnceForOddErrorCodesOnly)
{
    // Not controller-in-charge: IFC, then one retry that succeeds.
    fake.Push(kFakeDevClear, ERR_CMPL, gpib::ECIC, 0, 0);
    EXPECT_EQ(instrument.DevClear(), 1);
    EXPECT_EQ(fake.Log(), "DevClear:29 SendIFC DevClear:29");

    // Any odd code recovers; a failing retry is reported under DevClear.
    fake.Reset();
    fake.Push(kFakeDevClear, ERR_CMPL, 3, 0, 0);
    fake.Push(kFakeDevClear, ERR_CMPL, 5, 0, 0);
    EXPECT_EQ(instrument.DevClear(), 0);
    EXPECT_EQ(fake.Log(), "DevClear:29 SendIFC DevClear:29");
    EXPECT_EQ(instrument.ErrorText(), "GPIB error 5");
    EXPECT_EQ(instrument.Operation(), "DevClear");

    // A failing IFC ends it under SendIFC.
    fake.Reset();
    fake.Push(kFakeDevClear, ERR_CMPL, 1, 0, 0);
    fake.Push(kFakeSendIFC, ERR_CMPL, 11, 0, 0);
    EXPECT_EQ(instrument.DevClear(), 0);
    EXPECT_EQ(fake.Log(), "DevClear:29 SendIFC");
    EXPECT_EQ(instrument.ErrorText(), "GPIB error 11");
    EXPECT_EQ(instrument.Operation(), "SendIFC");

    // Even codes are reported at once, without IFC.
    for (int code : {0, 2}) {
        fake.Reset();
        fake.Push(kFakeDevClear, ERR_CMPL, code, 0, 0);
        EXPECT_EQ(instrument.DevClear(), 0);
        EXPECT_EQ(fake.Log(), "DevClear:29");
        EXPECT_EQ(instrument.ErrorText(), "GPIB error " + std::to_string(code));
        EXPECT_EQ(instrument.Operation(), "DevClear");
    }
}

TEST_F(ConnectionTest, IsListenerLooksForTheMainframeAndRecoversLikeDevClear)
{
    EXPECT_EQ(instrument.IsListener(), 1);
    EXPECT_EQ(fake.Log(), "FindLstn:29,65535/1");

    fake.Reset();
    fake.Push(kFakeFindLstn, CMPL, 0, 0, -1);
    EXPECT_EQ(instrument.IsListener(), 0);
    EXPECT_EQ(instrument.ErrorText(), "GPIB device 29 not found");
    EXPECT_EQ(instrument.Operation(), "IsListener");

    fake.Reset();
    fake.Push(kFakeFindLstn, ERR_CMPL, gpib::ECIC, 0, -1);
    EXPECT_EQ(instrument.IsListener(), 1);
    EXPECT_EQ(fake.Log(), "FindLstn:29,65535/1 SendIFC FindLstn:29,65535/1");

    fake.Reset();
    fake.Push(kFakeFindLstn, ERR_CMPL, 2, 0, -1);
    EXPECT_EQ(instrument.IsListener(), 0);
    EXPECT_EQ(fake.Log(), "FindLstn:29,65535/1");
    EXPECT_EQ(instrument.ErrorText(), "GPIB error 2");

    fake.Reset();
    fake.Push(kFakeFindLstn, ERR_CMPL, 1, 0, -1);
    fake.Push(kFakeSendIFC, ERR_CMPL, 4, 0, 0);
    EXPECT_EQ(instrument.IsListener(), 0);
    EXPECT_EQ(instrument.Operation(), "SendIFC");
    EXPECT_EQ(instrument.ErrorText(), "GPIB error 4");

    fake.Reset();
    fake.Push(kFakeFindLstn, CMPL, 0, 1, 28);
    EXPECT_EQ(instrument.IsListener(), 0) << "another listener is not the mainframe";
}

TEST_F(ConnectionTest, ShowErrorNamesTheTextAndTheOperation)
{
    fake.Push(kFakeReadStatusByte, CMPL, 0, 0, 0x50);
    instrument.SetGain(1000.0f);
    instrument.ShowError();
    instrument.ShowError();
    ASSERT_EQ(messages.texts.size(), 2u);
    EXPECT_EQ(messages.texts[0], "Instrument error (0x10) during \"SetGain\"");
    EXPECT_EQ(messages.texts[1], messages.texts[0]) << "showing does not clear the texts";
    EXPECT_EQ(messages.icons[0], MessageIcon::Exclamation);
}

TEST_F(ConnectionTest, DriverCauseIsTheSystemErrorOfTheLatestEdvrFailureOnly)
{
    fake.Push(kFakeSendIFC, ERR_CMPL, gpib::EDVR, ENOENT, 0);
    EXPECT_EQ(instrument.SendIFC(), 0);
    EXPECT_EQ(instrument.DriverCause(), "driver: " + os::SystemErrorText(ENOENT));
    instrument.ShowError();
    ASSERT_EQ(messages.texts.size(), 1u);
    EXPECT_EQ(messages.texts[0], "GPIB error 0 during \"SendIFC\"") << "the message itself keeps its text";

    fake.Push(kFakeReadStatusByte, CMPL, 0, 0, 0x41);
    EXPECT_EQ(instrument.SetGain(1.0f), 0);
    EXPECT_EQ(instrument.DriverCause(), "") << "a failure of the mainframe replaces the driver's";
}

TEST(ConnectionWithoutDriver, EveryOperationFailsAsGpibErrorZero)
{
    gpib::CGpibBinding bus({"/nonexistent/valdina/libgpib.so.0", "ibsta", "iberr", "ibcntl", true});
    CInstrument instrument(bus);
    RecordedMessages messages;
    instrument.SetMessageSink(&messages);

    EXPECT_EQ(instrument.IsListener(), 0);
    EXPECT_EQ(instrument.ErrorText(), "GPIB error 0");
    EXPECT_EQ(instrument.Operation(), "IsListener");

    EXPECT_EQ(instrument.Select(4), 0);
    EXPECT_EQ(instrument.ErrorText(), "GPIB error 0 (Send)");
    instrument.ShowError();
    ASSERT_EQ(messages.texts.size(), 1u);
    EXPECT_EQ(messages.texts[0], "GPIB error 0 (Send) during \"Select\"");
    EXPECT_NE(instrument.DriverCause().find("/nonexistent/valdina/libgpib.so.0"), std::string::npos)
        << "the loader's own words name the file: " << instrument.DriverCause();

    std::uint8_t byte = 0x77;
    EXPECT_EQ(instrument.RdEe1(3, 0, &byte), 0);
    EXPECT_EQ(instrument.Operation(), "RdEe1");
    EXPECT_EQ(byte, 0x77);
}

TEST_F(ConnectionTest, ShortRepliesAreNeverTakenAsData)
{
    const unsigned char reply[8] = {0x3C, 0x02, 0x00, 0x20, 0x5A, 0x11, 0x22, 0x33};
    fake.SetReply(reply, 8);

    std::uint8_t byte = 0x99;
    fake.Push(kFakeReceive, 0x2100, 0, 4, 4);
    EXPECT_EQ(instrument.RdEe1(37, 0x1F0, &byte), 0);
    EXPECT_EQ(byte, 0x99);
    EXPECT_EQ(instrument.ErrorText(), "Short reply (4 of 5 bytes)");
    EXPECT_EQ(instrument.Operation(), "RdEe1");

    std::uint8_t four[4] = {1, 2, 3, 4};
    fake.Push(kFakeReceive, 0x2100, 0, 7, 7);
    EXPECT_EQ(instrument.RdEe4(37, 0x1F0, four), 0);
    EXPECT_EQ(four[0], 1);
    EXPECT_EQ(instrument.ErrorText(), "Short reply (7 of 8 bytes)");
    EXPECT_EQ(instrument.Operation(), "RdEe4");

    std::uint8_t mode = 0x42;
    fake.Push(kFakeReceive, 0x2100, 0, 0, 0);
    EXPECT_EQ(instrument.GetOpMode(&mode), 0);
    EXPECT_EQ(instrument.Operation(), "GetOpMode");

    std::uint8_t presence[32];
    std::fill(std::begin(presence), std::end(presence), 0xEE);
    fake.Push(kFakeReceive, 0x2100, 0, 2, 2);
    EXPECT_EQ(instrument.QueryPresent(presence), 1);
    EXPECT_EQ(presence[0], 0x3C);
    EXPECT_EQ(presence[1], 0x02);
    for (int i = 2; i < 32; ++i)
        EXPECT_EQ(presence[i], 0) << "byte " << i << " was not received";

    EXPECT_EQ(instrument.RdEe1(37, 0x1F0, &byte), 1);
    EXPECT_EQ(byte, 0x5A);
    EXPECT_EQ(instrument.RdEe4(37, 0x1F0, four), 1);
    EXPECT_EQ(four[0], 0x5A);
    EXPECT_EQ(four[3], 0x33);
}

TEST_F(ConnectionTest, DriverCountsOutsideTheBufferAreClampedToIt)
{
    // Below zero: nothing was received, so the whole presence map is no cards,
    // and nothing before the buffer is touched.
    std::uint8_t guarded[8 + 32 + 8];
    std::fill(std::begin(guarded), std::end(guarded), 0xEE);
    std::uint8_t* presence = guarded + 8;
    fake.Push(kFakeReceive, 0x2100, 0, -100, 0);
    EXPECT_EQ(instrument.QueryPresent(presence), 1);
    EXPECT_TRUE(std::all_of(presence, presence + 32, [](std::uint8_t b) { return b == 0; }));
    EXPECT_TRUE(std::all_of(guarded, presence, [](std::uint8_t b) { return b == 0xEE; }));
    EXPECT_TRUE(std::all_of(presence + 32, std::end(guarded), [](std::uint8_t b) { return b == 0xEE; }));

    std::uint8_t four[4] = {1, 2, 3, 4};
    fake.Push(kFakeReceive, 0x2100, 0, -5, 0);
    EXPECT_EQ(instrument.RdEe4(37, 0x1F0, four), 0);
    EXPECT_EQ(instrument.ErrorText(), "Short reply (0 of 8 bytes)");

    // Beyond the buffer: the buffer is full, no more.
    const unsigned char reply[8] = {0x3C, 0x02, 0x00, 0x22, 0x5A, 0x11, 0x22, 0x33};
    fake.SetReply(reply, 8);
    fake.Push(kFakeReceive, 0x2100, 0, 1L << 20, 8);
    EXPECT_EQ(instrument.RdEe4(37, 0x1F0, four), 1);
    EXPECT_EQ(four[3], 0x33);
}

TEST_F(ConnectionTest, EepromCommandsRefuseChannelsOutsideTheMainframe)
{
    // 4096 would come out as rack 00, slot mask 0001 and address channel 0's card.
    std::uint8_t byte = 0x99;
    EepromImage image{};
    for (int channel : {-1, -17, 256, 4096}) {
        const std::string text = "Channel " + std::to_string(channel) + " is not 0..255";
        EXPECT_EQ(instrument.RdEe1(channel, 0x10, &byte), 0);
        EXPECT_EQ(instrument.ErrorText(), text);
        EXPECT_EQ(instrument.Operation(), "RdEe1");
        EXPECT_EQ(instrument.WrEe1(channel, 0x10, 0x5A), 0);
        EXPECT_EQ(instrument.Operation(), "WrEe1");
        EXPECT_EQ(instrument.ReadEepromImage(channel, image), 0);
        EXPECT_EQ(instrument.ErrorText(), text);
        EXPECT_EQ(instrument.Operation(), "RdEe4");
    }
    EXPECT_EQ(byte, 0x99);
    EXPECT_EQ(fake.Log(), "");
}
