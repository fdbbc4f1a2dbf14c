#pragma once
// The text report of the channel table: a header line and one line per card that
// the last scan found, in channel order. `lineEnd` is "\r\n" in files, "\n" on a terminal.

#include <string>
#include <string_view>

#include "ChannelTable.h"

std::string FormatReportHeader(std::string_view lineEnd);
std::string FormatReportLine(const CChannelInfo& info, int channel, std::string_view lineEnd);
std::string FormatReport(const ChannelTable& channels, std::string_view lineEnd);
