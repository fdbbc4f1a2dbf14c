#include "CInstrument.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iostream>

#include "DriverProbe.h"
#include "IOperatorMessages.h"
#include "TextFormat.h"
#include "ITransactionObserver.h"

CInstrument::CInstrument()
    : CInstrument(gpib::CGpibBinding::Process())
{
}

CInstrument::CInstrument(gpib::CGpibBinding& bus)
    : m_bus(bus)
{
}

CInstrument::~CInstrument() = default;

bool CInstrument::DriverFailed() const
{
    return (m_bus.Status().ibsta & gpib::ERR) != 0;
}

int CInstrument::Fail(const std::string& text, const char* label)
{
    m_failureStatus = {};
    m_errorText = text;
    m_operation = label;
    return 0;
}

int CInstrument::FailOnDriverError(const char* what, const char* label)
{
    const gpib::DriverStatus status = m_bus.Status();
    if (what == nullptr)
        Fail(FormatText("GPIB error %d", status.iberr), label);
    else
        Fail(FormatText("GPIB error %d (%s)", status.iberr, what), label);
    m_failureStatus = status;
    return 0;
}

void CInstrument::SetBus(int board, std::uint16_t address)
{
    m_board = board;
    m_address = address;
}

std::string CInstrument::DriverCause() const
{
    return DriverCauseText(m_failureStatus, m_bus, m_board);
}

int CInstrument::SendIFC()
{
    m_bus.SendIFC(m_board);
    if (DriverFailed())
        return FailOnDriverError(nullptr, "SendIFC");
    return 1;
}

int CInstrument::DevClear()
{
    m_bus.DevClear(m_board, m_address);
    // Any odd error code (not controller-in-charge among them) earns one bus
    // recovery and one retry.
    if (DriverFailed() && (m_bus.Status().iberr & 1) != 0) {
        if (!SendIFC())
            return 0;
        m_bus.DevClear(m_board, m_address);
    }
    if (DriverFailed())
        return FailOnDriverError(nullptr, "DevClear");
    return 1;
}

int CInstrument::IsListener()
{
    const gpib::Addr4882_t addresses[2] = {m_address, gpib::NOADDR};
    // Preset with a value that can never be the mainframe's address, so a driver
    // that finds no listener and stores nothing reads as "not found".
    gpib::Addr4882_t result[1] = {gpib::NOADDR};

    m_bus.FindLstn(m_board, addresses, result, 1);
    if (DriverFailed() && (m_bus.Status().iberr & 1) != 0) {
        if (!SendIFC())
            return 0;
        m_bus.FindLstn(m_board, addresses, result, 1);
    }
    if (DriverFailed())
        return FailOnDriverError(nullptr, "IsListener");
    if (result[0] != m_address)
        return Fail(FormatText("GPIB device %d not found", m_address), "IsListener");
    return 1;
}

int CInstrument::Transact(const char* text, int length, void* reply, std::int32_t limit, const char* label)
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point started = m_observer ? Clock::now() : Clock::time_point{};
    int polled = -1;
    m_replyCount = 0;

    const int ok = [&]() -> int {
        m_bus.Send(m_board, m_address, text, length, gpib::NLend);
        if (DriverFailed())
            return FailOnDriverError("Send", label);

        if (reply != nullptr && limit > 0) {
            m_bus.Receive(m_board, m_address, reply, limit, gpib::STOPend);
            if (DriverFailed())
                return FailOnDriverError("Receive", label);
            // The driver's count is input like the reply: never more than the buffer
            // holds, never negative.
            m_replyCount = std::clamp(m_bus.Status().ibcntl, std::int32_t{0}, limit);
        }

        short requested = 0;
        m_bus.WaitSRQ(m_board, &requested);
        if (DriverFailed())
            return FailOnDriverError("WaitSrq", label);
        if (requested == 0)
            return Fail("SRQ not asserted", label);

        m_bus.ReadStatusByte(m_board, m_address, &m_statusByte);
        if (DriverFailed())
            return FailOnDriverError("ReadStatusByte", label);
        polled = m_statusByte;

        // Bits 6 and 7 (service request, busy) are no error.
        if ((m_statusByte & 0x3F) != 0)
            return Fail(FormatText("Instrument error (0x%02X)", m_statusByte & 0x3F), label);
        return 1;
    }();

    if (m_observer != nullptr) {
        TransactionRecord record;
        record.command = std::string_view(text, static_cast<std::size_t>(length));
        record.label = label;
        if (reply != nullptr && m_replyCount > 0)
            record.reply = {static_cast<const std::uint8_t*>(reply), static_cast<std::size_t>(m_replyCount)};
        record.statusByte = polled;
        record.ok = ok != 0;
        if (!ok)
            record.errorText = m_errorText;
        record.duration = Clock::now() - started;
        m_observer->OnTransaction(record);
    }
    return ok;
}

std::string CInstrument::ErrorMessage() const
{
    return FormatText("%s during \"%s\"", m_errorText.c_str(), m_operation.c_str());
}

void CInstrument::ShowError()
{
    const std::string text = ErrorMessage();
    const std::string cause = DriverCause();
    if (m_messages != nullptr) {
        m_messages->ShowBusError(text, cause);
    } else {
        std::cerr << text << '\n';
        if (!cause.empty())
            std::cerr << cause << '\n';
    }
}
