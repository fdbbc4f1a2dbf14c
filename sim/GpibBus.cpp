#include "GpibBus.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <chrono>
#include <cstring>
#include <thread>

#include "CommandParser.h"

namespace zsim {

using namespace gpib;

namespace {

// A bus transaction takes its time on the wire, not "at least" its time: a plain
// sleep overshoots by the scheduler's granularity (about 100 us here), which
// would make a benchmark charge the program for the simulator's oversleeping.
// Sleep most of the way, then spin to the deadline.
void waitLatency(int microseconds)
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::microseconds(microseconds);
    constexpr auto kSpin = std::chrono::microseconds(300);
    if (deadline - Clock::now() > kSpin)
        std::this_thread::sleep_until(deadline - kSpin);
    while (Clock::now() < deadline)
        std::this_thread::yield();
}

}  // namespace

GpibBus::GpibBus(Scenario scenario)
    : m_scenario(std::move(scenario)), m_mainframe(m_scenario.cards) {}

// Off the bus, or silent once the allowed number of commands has been served
// and their transactions are finished.
bool GpibBus::answering() const {
    if (m_scenario.offBus) return false;
    const int limit = m_scenario.stopAnsweringAfter;
    return limit < 0 || m_commands < limit || m_srqPending || m_replyPending;
}

// As linux-gpib reports a board whose /dev/gpibN cannot be opened: EDVR with
// the system error, for a board that does not exist as for one it may not use.
std::optional<BusStatus> GpibBus::boardFault(int board) const {
    if (board != kBoard) return BusStatus::systemError(ENOENT);
    if (m_scenario.boardErrno != 0) return BusStatus::systemError(m_scenario.boardErrno);
    return std::nullopt;
}

void GpibBus::clearTransaction() {
    m_reply.clear();
    m_replyPending = false;
    m_replyTimesOut = false;
    m_srqPending = false;
}

BusStatus GpibBus::sendIfc(int board) {
    if (auto fault = boardFault(board)) return *fault;
    return BusStatus::ok();
}

BusStatus GpibBus::devClear(int board, unsigned addr) {
    if (auto fault = boardFault(board)) return *fault;
    if (m_devClearCalls++ < m_scenario.ecicDevClear) return BusStatus::error(ECIC);
    if (addr != m_scenario.address || !answering()) return BusStatus::error(ENOL);
    clearTransaction();
    return BusStatus::ok();
}

BusStatus GpibBus::findLstn(int board, const unsigned short* addrs, unsigned short* results, int limit) {
    if (auto fault = boardFault(board)) return *fault;
    if (!addrs || !results || limit < 0) return BusStatus::error(EARG);
    if (m_findLstnCalls++ < m_scenario.ecicFindLstn) return BusStatus::error(ECIC);
    if (!m_scenario.listenerSensing) return BusStatus::error(ECAP);
    long found = 0;
    for (const unsigned short* a = addrs; *a != NOADDR; ++a)
        if (*a == m_scenario.address && answering() && found < limit) results[found++] = *a;
    return BusStatus::ok(found);
}

BusStatus GpibBus::send(int board, unsigned addr, const void* data, long count) {
    if (auto fault = boardFault(board)) return *fault;
    if (count < 0 || (!data && count > 0)) return BusStatus::error(EARG);
    m_lastCommand.assign(static_cast<const char*>(data), static_cast<size_t>(count));
    if (addr != m_scenario.address || !answering()) return BusStatus::error(ENOL);

    const Command cmd = CommandParser::parse(m_lastCommand);
    const int selected = m_mainframe.selectedChannel();
    bool noSrq = false, timeout = false;
    int shortReply = -1, statusOverride = -1, sendError = -1, signal = 0;
    const FaultRule* swap = nullptr;
    bool flip = false;
    for (auto& rule : m_scenario.faults) {
        if (!rule.matches(cmd, selected)) continue;
        if (rule.spared > 0) {
            --rule.spared;
            continue;
        }
        if (rule.remaining > 0) --rule.remaining;
        switch (rule.kind) {
        case FaultKind::NoSrq: noSrq = true; break;
        case FaultKind::Timeout: timeout = true; break;
        case FaultKind::ShortReply: shortReply = rule.value; break;
        case FaultKind::Error: statusOverride = rule.value; break;
        case FaultKind::SendError: sendError = rule.value; break;
        case FaultKind::Signal: signal = rule.value; break;
        case FaultKind::Swap: swap = &rule; break;
        case FaultKind::Flip: flip = true; break;
        }
    }
    clearTransaction();
    if (sendError >= 0) return BusStatus::error(sendError);

    if (m_scenario.latencyUs > 0) waitLatency(m_scenario.latencyUs);
    const Response response = m_mainframe.execute(cmd);
    ++m_commands;
    m_statusByte = statusOverride >= 0 ? std::uint8_t(statusOverride) : std::uint8_t(0x40 | response.errorCode);
    m_srqPending = !noSrq;
    if (response.reply) {
        m_reply = *response.reply;
        if (shortReply >= 0 && size_t(shortReply) < m_reply.size()) m_reply.resize(size_t(shortReply));
        m_replyPending = true;
        m_replyTimesOut = timeout;
    }
    // After the command: its reply still comes from the card that was there.
    if (swap) {
        const bool ownTarget = cmd.kind == CommandKind::Select || cmd.kind == CommandKind::RdEe1 ||
                               cmd.kind == CommandKind::RdEe4 || cmd.kind == CommandKind::WrEe1;
        m_mainframe.swapCard(swap->channel.value_or(ownTarget ? cmd.channel : selected), swap->serial, swap->model);
    }
    // After the command too: its reply or write went through, then the cell changes.
    if (flip) m_mainframe.flipEepromByte(cmd.channel, cmd.address);
    // In the calling process, as an operator's Ctrl+C would land in mid-transaction.
    if (signal != 0) std::raise(signal);
    return BusStatus::ok(count);
}

BusStatus GpibBus::receive(int board, unsigned addr, void* buf, long count) {
    m_delivered.clear();
    if (auto fault = boardFault(board)) return *fault;
    if (count < 0 || (!buf && count > 0)) return BusStatus::error(EARG);
    if (addr != m_scenario.address || !m_replyPending || m_replyTimesOut) {
        // Nobody talks: the board waits out its timeout. A reply that was
        // meant to time out is lost with it.
        m_reply.clear();
        m_replyPending = false;
        return BusStatus::error(EABO, TIMO);
    }
    const size_t n = std::min(m_reply.size(), size_t(count));
    if (n > 0) std::memcpy(buf, m_reply.data(), n);
    m_delivered.assign(m_reply.begin(), m_reply.begin() + long(n));
    m_reply.erase(m_reply.begin(), m_reply.begin() + long(n));
    BusStatus st = BusStatus::ok(long(n));
    if (m_reply.empty()) {
        st.ibsta |= END;  // the last byte went with EOI
        m_replyPending = false;
    }
    return st;
}

BusStatus GpibBus::waitSrq(int board, short* result) {
    if (auto fault = boardFault(board)) return *fault;
    if (!result) return BusStatus::error(EARG);
    *result = m_srqPending ? 1 : 0;
    return {CMPL | (m_srqPending ? SRQI : TIMO), 0, 0};
}

BusStatus GpibBus::readStatusByte(int board, unsigned addr, short* result) {
    m_delivered.clear();
    if (auto fault = boardFault(board)) return *fault;
    if (!result) return BusStatus::error(EARG);
    if (addr != m_scenario.address || !answering()) return BusStatus::error(EABO, TIMO);
    // RQS is only reported while the request is up; the poll takes it down.
    const std::uint8_t stb = m_srqPending ? m_statusByte : std::uint8_t(m_statusByte & ~0x40);
    m_srqPending = false;
    *result = stb;
    m_delivered.push_back(stb);
    return BusStatus::ok(1);
}

}  // namespace zsim
