// The order of the channel list's column sort.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "CompareChannels.h"

namespace {

ChannelTable ScannedTable()
{
    ChannelTable table{};
    for (int n = 0; n < kChannelCount; ++n)
        table[static_cast<std::size_t>(n)].m_nAddress = n;
    return table;
}

// The channels in the order a stable sort by `column` leaves them.
std::vector<int> Sorted(const ChannelTable& table, int column, bool descending, std::vector<int> channels)
{
    std::stable_sort(channels.begin(), channels.end(), [&](int a, int b) {
        return CompareChannels(table, column, descending, a, b) < 0;
    });
    return channels;
}

} // namespace

TEST(CompareChannels, StatusSortsByStateNumber)
{
    ChannelTable table = ScannedTable();
    table[1].m_nStatus = StatusFail;
    table[2].m_nStatus = StatusGood;
    table[3].m_nStatus = StatusReading;
    table[4].m_nStatus = StatusUnknown;
    EXPECT_EQ(Sorted(table, kColumnStatus, false, {1, 2, 3, 4}), (std::vector<int>{4, 3, 2, 1}));
    EXPECT_EQ(Sorted(table, kColumnStatus, true, {4, 3, 2, 1}), (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(CompareChannels(table, kColumnStatus, false, 4, 1), -1);
    EXPECT_EQ(CompareChannels(table, kColumnStatus, true, 4, 1), 1);
    table[5].m_nStatus = StatusFail;
    EXPECT_EQ(CompareChannels(table, kColumnStatus, false, 1, 5), 0);
    EXPECT_EQ(CompareChannels(table, kColumnStatus, true, 1, 5), 0);
}

TEST(CompareChannels, SerialSortsByUnsignedBytes)
{
    ChannelTable table = ScannedTable();
    std::strcpy(table[10].m_szSerial, "abc");
    std::strcpy(table[11].m_szSerial, "ABC");
    std::strcpy(table[12].m_szSerial, "123");
    std::strcpy(table[13].m_szSerial, "AB");
    std::strcpy(table[14].m_szSerial, "\xE9t\xE9");   // bytes above 0x7F sort last
    std::strcpy(table[15].m_szSerial, "");
    EXPECT_EQ(Sorted(table, kColumnSerial, false, {10, 11, 12, 13, 14, 15}),
              (std::vector<int>{15, 12, 13, 11, 10, 14}));
    EXPECT_EQ(Sorted(table, kColumnSerial, true, {10, 11, 12, 13, 14, 15}),
              (std::vector<int>{14, 10, 11, 13, 12, 15}));

    std::strcpy(table[16].m_szSerial, "ABC");
    EXPECT_EQ(CompareChannels(table, kColumnSerial, false, 11, 16), 0);
    EXPECT_EQ(CompareChannels(table, kColumnSerial, false, 13, 11), -1);
    EXPECT_EQ(CompareChannels(table, kColumnSerial, false, 11, 13), 1);
}

TEST(CompareChannels, SerialStopsAtTerminatorOrFieldEnd)
{
    ChannelTable table = ScannedTable();
    std::memcpy(table[1].m_szSerial, "AB\0X", 4);
    std::memcpy(table[2].m_szSerial, "AB\0Y", 4);
    EXPECT_EQ(CompareChannels(table, kColumnSerial, false, 1, 2), 0);
    std::memset(table[3].m_szSerial, 'Z', sizeof table[3].m_szSerial);
    std::memset(table[4].m_szSerial, 'Z', sizeof table[4].m_szSerial);
    EXPECT_EQ(CompareChannels(table, kColumnSerial, false, 3, 4), 0);
    EXPECT_EQ(CompareChannels(table, kColumnSerial, false, 1, 3), -1);
}

TEST(CompareChannels, ErrorSortsByRecordText)
{
    ChannelTable table = ScannedTable();
    table[0].m_strError = "invalid checksum (gain)";
    table[1].m_strError = "invalid checksum (Xmon)";
    table[2].m_strError = "";
    table[3].m_strError = "azro error during G1";
    table[4].m_strError = "azro error during G1000";
    EXPECT_EQ(Sorted(table, kColumnError, false, {0, 1, 2, 3, 4}), (std::vector<int>{2, 3, 4, 1, 0}));
    EXPECT_EQ(Sorted(table, kColumnError, true, {0, 1, 2, 3, 4}), (std::vector<int>{0, 1, 4, 3, 2}));
}

TEST(CompareChannels, ChanRackAndSlotSortByChannelNumber)
{
    const ChannelTable table = ScannedTable();
    for (int column : {2, 3, 4}) {
        EXPECT_EQ(Sorted(table, column, false, {17, 2, 255, 0, 16}), (std::vector<int>{0, 2, 16, 17, 255})) << column;
        EXPECT_EQ(Sorted(table, column, true, {17, 2, 255, 0, 16}), (std::vector<int>{255, 17, 16, 2, 0})) << column;
        EXPECT_EQ(CompareChannels(table, column, false, 2, 17), -1);
        EXPECT_EQ(CompareChannels(table, column, false, 17, 17), 0);
    }
}

TEST(CompareChannels, ChannelOrderReadsTheRecordAddress)
{
    // Before the first scan every address is -1, so all rows compare equal.
    const ChannelTable fresh{};
    EXPECT_EQ(CompareChannels(fresh, 2, false, 3, 200), 0);
}

TEST(CompareChannels, ItemDataOutsideTheTableComparesEqual)
{
    const ChannelTable table = ScannedTable();
    EXPECT_EQ(CompareChannels(table, kColumnStatus, false, -1, 3), 0);
    EXPECT_EQ(CompareChannels(table, 2, false, 3, 256), 0);
}
