#include "CTraceLog.h"

#include <ostream>

#include "TextFormat.h"

void CTraceLog::OnTransaction(const TransactionRecord& record)
{
    m_stream << FormatLine(record) << '\n';
}

std::string CTraceLog::FormatLine(const TransactionRecord& record)
{
    std::string line = "trace: ";
    line.append(record.label);
    line += " \"";
    line.append(record.command);
    line += "\" reply=";
    if (record.reply.empty())
        line += '-';
    for (std::uint8_t byte : record.reply)
        line += FormatText("%02X", byte);
    line += record.statusByte < 0 ? std::string(" stb=-") : FormatText(" stb=0x%02X", record.statusByte);
    if (record.ok) {
        line += " ok";
    } else {
        line += " failed: ";
        line.append(record.errorText);
    }
    const double milliseconds = std::chrono::duration<double, std::milli>(record.duration).count();
    line += " " + FormatFixed(milliseconds, 3) + " ms";
    return line;
}
