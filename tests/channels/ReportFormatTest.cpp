// The report's text, byte for byte.

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "ReportFormat.h"

namespace {

CChannelInfo Card(const char* serial, int status, const char* error)
{
    CChannelInfo info;
    std::strncpy(info.m_szSerial, serial, sizeof info.m_szSerial - 1);
    info.m_nStatus = status;
    info.m_strError = error;
    return info;
}

const std::string kHeader = "      SN  Rack  Slot  Status        Description";
// The state field is 12 wide and followed by two blanks.
std::string State(const std::string& text)
{
    return text + std::string(12 - text.size(), ' ') + "  ";
}

} // namespace

TEST(ReportFormat, HeaderLine)
{
    EXPECT_EQ(FormatReportHeader("\r\n"), kHeader + "\r\n");
    EXPECT_EQ(FormatReportHeader("\n"), kHeader + "\n");
}

TEST(ReportFormat, RecordLines)
{
    EXPECT_EQ(FormatReportLine(Card("00000001", StatusFail, ""), 0, "\n"),
              "00000001     0     0  " + State("Fail") + "\n");
    EXPECT_EQ(FormatReportLine(Card("1234", StatusGood, ""), 17, "\r\n"),
              "    1234     1     1  " + State("Good") + "\r\n");
    EXPECT_EQ(FormatReportLine(Card("A7", StatusFail, "invalid checksum (Xmon)"), 255, "\n"),
              "      A7    15    15  " + State("Fail") + "invalid checksum (Xmon)\n");
    EXPECT_EQ(FormatReportLine(Card("", StatusReading, ""), 37, "\n"),
              "             2     5  " + State("reading") + "\n");
}

TEST(ReportFormat, UnterminatedSerialStopsAtItsField)
{
    CChannelInfo info = Card("", StatusUnknown, "");
    std::memset(info.m_szSerial, 'S', sizeof info.m_szSerial);
    EXPECT_EQ(FormatReportLine(info, 1, "\n"), std::string(16, 'S') + "     0     1  " + State("unknown") + "\n");
}

TEST(ReportFormat, WholeReportSkipsAbsentRecordsInChannelOrder)
{
    ChannelTable table{};
    EXPECT_EQ(FormatReport(table, "\r\n"), kHeader + "\r\n");

    table[17] = Card("B", StatusGood, "");
    table[0] = Card("00000001", StatusFail, "");
    table[200] = Card("C", StatusNotPresent, "kept but not shown");
    table[255] = Card("D", StatusUnknown, "invalid checksum (gain)");
    EXPECT_EQ(FormatReport(table, "\n"),
              kHeader + "\n" +
              "00000001     0     0  " + State("Fail") + "\n" +
              "       B     1     1  " + State("Good") + "\n" +
              "       D    15    15  " + State("unknown") + "invalid checksum (gain)\n");
}
