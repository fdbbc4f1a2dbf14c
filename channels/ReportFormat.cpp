#include "ReportFormat.h"

#include "PresentChannels.h"
#include "PrintableField.h"
#include "TextFormat.h"

std::string FormatReportHeader(std::string_view lineEnd)
{
    std::string line = FormatText("%8s%6s%6s  %-12s  %s", "SN", "Rack", "Slot", "Status", "Description");
    line += lineEnd;
    return line;
}

std::string FormatReportLine(const CChannelInfo& info, int channel, std::string_view lineEnd)
{
    const std::string serial = PrintableField(info.Serial());
    std::string line = FormatText("%8s%6d%6d  %-12s  %s", serial.c_str(), RackOf(channel), SlotOf(channel),
                                  info.StatusText(), info.m_strError.c_str());
    line += lineEnd;
    return line;
}

std::string FormatReport(const ChannelTable& channels, std::string_view lineEnd)
{
    std::string report = FormatReportHeader(lineEnd);
    for (int channel : PresentChannels(channels))
        report += FormatReportLine(channels[static_cast<std::size_t>(channel)], channel, lineEnd);
    return report;
}
