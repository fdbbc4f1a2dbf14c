#pragma once
// The table both report-file suites write, and the file read back byte for byte.

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "ChannelTable.h"

namespace valdina::test {

// A failed card, a good one and one caught mid-read with an error text.
inline ChannelTable ReportSampleTable()
{
    ChannelTable table{};
    std::strcpy(table[0].m_szSerial, "00000001");
    table[0].m_nStatus = StatusFail;
    std::strcpy(table[17].m_szSerial, "00004711");
    table[17].m_nStatus = StatusGood;
    table[18].m_nStatus = StatusReading;
    table[18].m_strError = "invalid checksum (Iexc)";
    return table;
}

inline std::string ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace valdina::test
