#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "BusStatus.h"
#include "Mainframe.h"
#include "Scenario.h"

namespace zsim {

// The bus as the board sees it: the mainframe at address 29 with its
// transaction state (pending reply, service request, status byte) and the
// scenario's injected faults. One method per driver routine.
class GpibBus {
public:
    explicit GpibBus(Scenario scenario);

    BusStatus sendIfc(int board);
    BusStatus devClear(int board, unsigned addr);
    BusStatus findLstn(int board, const unsigned short* addrs, unsigned short* results, int limit);
    BusStatus send(int board, unsigned addr, const void* data, long count);
    BusStatus receive(int board, unsigned addr, void* buf, long count);
    BusStatus waitSrq(int board, short* result);
    BusStatus readStatusByte(int board, unsigned addr, short* result);

    // Text of the latest Send, and what the latest Receive delivered / poll read.
    const std::string& lastCommand() const { return m_lastCommand; }
    const std::vector<std::uint8_t>& lastDelivered() const { return m_delivered; }

private:
    bool answering() const;
    std::optional<BusStatus> boardFault(int board) const;
    void clearTransaction();

    Scenario m_scenario;
    Mainframe m_mainframe;
    std::string m_lastCommand;
    std::vector<std::uint8_t> m_reply;
    bool m_replyPending = false;
    bool m_replyTimesOut = false;
    bool m_srqPending = false;
    std::uint8_t m_statusByte = 0;
    std::vector<std::uint8_t> m_delivered;
    long m_commands = 0;
    int m_findLstnCalls = 0;
    int m_devClearCalls = 0;
};

}  // namespace zsim
