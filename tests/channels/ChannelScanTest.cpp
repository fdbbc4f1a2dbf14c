// The channel scan on the simulated mainframe.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "BusRig.h"
#include "ChannelScan.h"

namespace {

using Strings = std::vector<std::string>;

bool Scan(BusRig& rig)
{
    return ScanChannels(rig.instrument, rig.channels, rig.rows, rig.observer);
}

// Begin first, End last, and every message shown while the pass was open.
void ExpectWholePass(const RecordingPassObserver& observer, const char* kind)
{
    ASSERT_FALSE(observer.events.empty());
    EXPECT_EQ(observer.events.front(), std::string("Begin ") + kind);
    EXPECT_EQ(observer.events.back(), std::string("End ") + kind);
    EXPECT_EQ(observer.depth, 0);
    for (bool open : observer.openWhileShown)
        EXPECT_TRUE(open);
}

} // namespace

TEST(ChannelScan, NoCardsGivesAnEmptyListAndAbsentRecords)
{
    BusRig rig(R"({"cards":[]})");
    rig.channels[9].m_nStatus = StatusGood;
    rig.channels[9].m_strError = "kept";
    EXPECT_TRUE(Scan(rig));
    EXPECT_TRUE(rig.rows.rows.empty());
    EXPECT_TRUE(rig.observer.messages.empty());
    for (int n = 0; n < kChannelCount; ++n) {
        EXPECT_EQ(rig.channels[n].m_nAddress, n);
        EXPECT_EQ(rig.channels[n].m_nStatus, StatusNotPresent);
    }
    EXPECT_EQ(rig.channels[9].m_strError, "kept");
    EXPECT_EQ(rig.Sent(), (Strings{"Q2"}));
    EXPECT_EQ(rig.observer.events, (Strings{"Begin Scan", "End Scan"}));
}

TEST(ChannelScan, ListsCardsInChannelOrderAndFailsTheFactorySerial)
{
    BusRig rig(R"({"cards":[{"channel":255,"serial":"12345678","model":"T213"},
                             {"channel":4,"serial":"0000000"},
                             {"channel":3,"serial":"00000001"}]})");
    EXPECT_TRUE(Scan(rig));
    ASSERT_EQ(rig.rows.rows.size(), 3u);
    using Texts = std::array<std::string, 6>;
    EXPECT_EQ(rig.rows.rows[0].texts, (Texts{"Fail", "00000001", "3", "0", "3", ""}));
    EXPECT_EQ(rig.rows.rows[0].image, StatusFail);
    EXPECT_EQ(rig.rows.rows[1].texts, (Texts{"unknown", "0000000", "4", "0", "4", ""}));
    EXPECT_EQ(rig.rows.rows[1].image, StatusUnknown);
    EXPECT_EQ(rig.rows.rows[2].texts, (Texts{"unknown", "12345678", "255", "15", "15", ""}));
    EXPECT_EQ(rig.rows.rows[2].channel, 255);
    EXPECT_STREQ(rig.channels[255].m_szModel, "T213");
    EXPECT_TRUE(rig.channels[255].IsExemptModel());
    EXPECT_EQ(rig.Sent(), (Strings{"Q2", "S 3", "Q5 7", "Q5 6", "S 4", "Q5 7", "Q5 6", "S 255", "Q5 7", "Q5 6"}));
    EXPECT_TRUE(rig.observer.messages.empty());
    EXPECT_EQ(rig.observer.events, (Strings{"Begin Scan", "Start 1/3 ch=3", "Done 1/3 ch=3 status=4",
                                            "Start 2/3 ch=4", "Done 2/3 ch=4 status=1", "Start 3/3 ch=255",
                                            "Done 3/3 ch=255 status=1", "End Scan"}));
}

TEST(ChannelScan, SelectFailureStopsTheBusButNotTheTable)
{
    BusRig rig(R"({"cards":[{"channel":2},{"channel":37},{"channel":40},{"channel":200}],
                   "faults":[{"command":"Select","channel":37,"kind":"no_srq"}]})");
    std::strcpy(rig.channels[40].m_szSerial, "OLD");
    std::strcpy(rig.channels[40].m_szModel, "T208");
    rig.channels[40].m_strError = "invalid checksum (gain)";
    rig.channels[41].m_nStatus = StatusGood;

    EXPECT_FALSE(Scan(rig));
    ASSERT_EQ(rig.rows.rows.size(), 1u);
    EXPECT_EQ(rig.rows.rows[0].channel, 2);
    ASSERT_EQ(rig.observer.messages.size(), 1u);
    EXPECT_EQ(rig.observer.messages[0], "SRQ not asserted during \"Select\"");
    EXPECT_EQ(rig.Sent(), (Strings{"Q2", "S 2", "Q5 7", "Q5 6", "S 37"}));

    for (int n : {37, 40, 200}) {
        EXPECT_EQ(rig.channels[n].m_nStatus, StatusUnknown) << n;
        EXPECT_STREQ(rig.channels[n].m_szSerial, "");
        EXPECT_STREQ(rig.channels[n].m_szModel, "");
        EXPECT_FALSE(rig.channels[n].IsExemptModel());
    }
    EXPECT_EQ(rig.channels[40].m_strError, "invalid checksum (gain)");
    EXPECT_EQ(rig.channels[41].m_nStatus, StatusNotPresent);
    EXPECT_EQ(rig.channels[255].m_nAddress, 255);
    ExpectWholePass(rig.observer, "Scan");
    // Every present card is counted; only those that reached the bus were started.
    EXPECT_EQ(rig.observer.events.size(), 2u + 4u + 2u);
}

TEST(ChannelScan, QuerySNFailureKeepsWhatTheCardSent)
{
    BusRig rig(R"({"cards":[{"channel":1,"serial":"00000001"},{"channel":2}],
                   "faults":[{"command":"QuerySN","channel":1,"kind":"error","code":1}]})");
    EXPECT_FALSE(Scan(rig));
    EXPECT_TRUE(rig.rows.rows.empty());
    // The reply arrived before the error: the card is failed for its serial.
    EXPECT_STREQ(rig.channels[1].m_szSerial, "00000001");
    EXPECT_EQ(rig.channels[1].m_nStatus, StatusFail);
    EXPECT_EQ(rig.channels[2].m_nStatus, StatusUnknown);
    ASSERT_EQ(rig.observer.messages.size(), 1u);
    EXPECT_EQ(rig.observer.messages[0], "Instrument error (0x01) during \"QuerySN\"");
}

TEST(ChannelScan, MainframeOffEmptiesTheListAndKeepsTheTable)
{
    BusRig rig(R"({"cards":[{"channel":7},{"channel":8}]})");
    ASSERT_TRUE(Scan(rig));
    ASSERT_EQ(rig.rows.rows.size(), 2u);
    const ChannelTable before = rig.channels;

    rig.Switch(R"({"off_bus":true})");
    rig.observer.events.clear();
    EXPECT_FALSE(Scan(rig));
    EXPECT_TRUE(rig.rows.rows.empty());
    EXPECT_EQ(rig.rows.calls.back(), "DeleteAllRows");
    ASSERT_EQ(rig.observer.messages.size(), 1u);
    EXPECT_NE(rig.observer.messages[0].find("during \"IsListener\""), std::string::npos);
    EXPECT_TRUE(rig.Sent().empty());
    for (int n = 0; n < kChannelCount; ++n) {
        EXPECT_EQ(rig.channels[n].m_nStatus, before[n].m_nStatus);
        EXPECT_EQ(rig.channels[n].m_nAddress, before[n].m_nAddress);
        EXPECT_STREQ(rig.channels[n].m_szSerial, before[n].m_szSerial);
    }
    EXPECT_EQ(rig.observer.events, (Strings{"Begin Scan", "End Scan"}));
    ExpectWholePass(rig.observer, "Scan");
}

TEST(ChannelScan, QueryPresentFailureShowsOnce)
{
    BusRig rig(R"({"cards":[{"channel":7}],"faults":[{"command":"QueryPresent","kind":"no_srq"}]})");
    EXPECT_FALSE(Scan(rig));
    EXPECT_EQ(rig.observer.messages, (Strings{"SRQ not asserted during \"QueryPresent\""}));
    EXPECT_EQ(rig.channels[7].m_nAddress, -1);
    EXPECT_EQ(rig.rows.calls, (Strings{"DeleteAllRows"}));
}

TEST(ChannelScan, QueryModelFailureIsNotLookedAt)
{
    BusRig rig(R"({"cards":[{"channel":6,"model":"T208"},{"channel":9}],
                   "faults":[{"command":"QueryModel","channel":6,"kind":"send_error"}]})");
    EXPECT_TRUE(Scan(rig));
    ASSERT_EQ(rig.rows.rows.size(), 2u);
    EXPECT_TRUE(rig.observer.messages.empty());
    EXPECT_STREQ(rig.channels[6].m_szModel, "");
    EXPECT_FALSE(rig.channels[6].IsExemptModel());
    EXPECT_EQ(rig.channels[6].m_nStatus, StatusUnknown);
    // The failure stays in the connection until the next one.
    EXPECT_EQ(rig.instrument.Operation(), "QueryModel");
}

TEST(ChannelScan, CancelStopsAtTheNextCardLikeAFailureButSilently)
{
    struct Case {
        int cancelAfter;
        std::vector<int> listed;
        Strings sent;
    };
    const Case cases[] = {
        {2, {2, 37}, {"Q2", "S 2", "Q5 7", "Q5 6", "S 37", "Q5 7", "Q5 6"}},
        // During the last card: every card is listed, yet the scan is no success.
        {4, {2, 37, 40, 200},
         {"Q2", "S 2", "Q5 7", "Q5 6", "S 37", "Q5 7", "Q5 6", "S 40", "Q5 7", "Q5 6", "S 200", "Q5 7", "Q5 6"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cancelAfter);
        BusRig rig(R"({"cards":[{"channel":2},{"channel":37},{"channel":40},{"channel":200}]})");
        CPassCancel cancel;
        rig.observer.cancel = &cancel;
        rig.observer.cancelAfter = c.cancelAfter;
        std::strcpy(rig.channels[40].m_szSerial, "OLD");

        EXPECT_FALSE(ScanChannels(rig.instrument, rig.channels, rig.rows, rig.observer, &cancel));
        EXPECT_TRUE(rig.observer.messages.empty());
        std::vector<int> listed;
        for (const auto& row : rig.rows.rows)
            listed.push_back(row.channel);
        EXPECT_EQ(listed, c.listed);
        EXPECT_EQ(rig.Sent(), c.sent);
        for (int n : {40, 200}) {
            EXPECT_EQ(rig.channels[n].m_nStatus, StatusUnknown) << n;
            if (n > c.listed.back()) {
                EXPECT_STREQ(rig.channels[n].m_szSerial, "");
            }
        }
        EXPECT_EQ(rig.channels[255].m_nAddress, 255);
        EXPECT_TRUE(cancel.Stopped());
        EXPECT_EQ(cancel.Done(), c.cancelAfter);
        EXPECT_EQ(cancel.Total(), 4);
        ExpectWholePass(rig.observer, "Scan");
    }
}
