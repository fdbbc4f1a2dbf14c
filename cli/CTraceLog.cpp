#include "CTraceLog.h"

#include <ostream>

#include "GpibErrorNames.h"
#include "TextFormat.h"

void CTraceLog::OnTransaction(const TransactionRecord& record)
{
    m_stream << FormatLine(record) << '\n' << std::flush;
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

void CTraceLog::OnDriverCall(const char* routine, int board, int address, const gpib::DriverStatus& status,
                             gpib::CallReach reach)
{
    m_stream << FormatCall(routine, board, address, status, reach) << '\n' << std::flush;
}

std::string CTraceLog::FormatCall(const char* routine, int board, int address, const gpib::DriverStatus& status,
                                  gpib::CallReach reach)
{
    std::string line = FormatText("trace: driver %s board=%d", routine, board);
    if (address >= 0)
        line += FormatText(" address=%d", address);
    if (reach == gpib::CallReach::NoLibrary)
        line += " not reached, no driver library loaded:";
    else if (reach == gpib::CallReach::NoRoutine)
        line += " not reached, the library lacks it:";
    line += FormatText(" ibsta=0x%04X iberr=%d", static_cast<unsigned>(status.ibsta) & 0xFFFFu, status.iberr);
    // iberr means something only when the call failed.
    if ((status.ibsta & gpib::ERR) != 0 && *GpibErrorName(status.iberr) != '\0')
        line += std::string(" ") + GpibErrorName(status.iberr);
    return line + FormatText(" ibcntl=%d", status.ibcntl);
}
