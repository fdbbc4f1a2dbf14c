// Simulated Zentra mainframe, built as a drop-in GPIB driver (libgpib.so.0).
//
// Scope: the program loads this library instead of a real driver and cannot
// tell the difference. It exports the seven driver routines the program uses
// (SendIFC, DevClear, FindLstn, Send, Receive, WaitSRQ, ReadStatusByte) and
// the status variables under both the linux-gpib names (ibsta, iberr, ibcnt,
// ibcntl) and the NI names (user_ibsta, user_iberr, user_ibcntl), all set to
// the same values after every call.
//
// On the bus: board 0 only; the mainframe listens and talks at primary
// address 29 (the scenario may move it). Every command ends with a service
// request and a status byte 0x40 | error code. Commands: "S n", "Q2", "Q5 7",
// "Q5 6", "C1Dn", "C1D?", "G x.xx", and the EEPROM frames <RRMMMM20AAAA,
// <RRMMMM22AAAA and >RRMMMMA0AAAADD (uppercase hex). Error codes: 0x01
// unknown or malformed command, 0x02 empty slot selected / card command
// without a card / EEPROM frame for an absent card. Each card has 512 EEPROM
// bytes; addresses from 512 on read 0xFF and ignore writes. EEPROM read
// replies start with rack, slot mask (high, low) and access code.
//
// Bus failures, as a real driver reports them: Send and DevClear to a
// missing listener fail with ENOL; FindLstn then finds nobody without error;
// Receive and ReadStatusByte with nobody talking time out (EABO); WaitSRQ
// with no request returns 0 with TIMO. A board other than 0, or board 0 when
// the scenario says its device is missing or denied, fails every call with
// EDVR and the system error (ENOENT, EACCES) in ibcntl, as linux-gpib does
// when it cannot open /dev/gpibN. An adapter without listener sensing fails
// FindLstn with ECAP.
//
// Scenario (JSON file named by ZENTRA_SIM_SCENARIO, built-in mainframe when
// unset): the mainframe's address, the board's device state, listener
// sensing; cards with serial, model, operating mode and EEPROM image; faults:
// off the bus, ECIC on the first N FindLstn / DevClear calls, per command
// no_srq, timeout, short_reply, error (status byte) and send_error, silence
// after N commands, latency per command. ZENTRA_SIM_TRACE names the bus log.
// Both variables are re-read on every call; a new value reloads.
//
// Not simulated: secondary addresses, timeouts of real length (a timeout
// returns at once), any routine beyond the seven, gain or measurement
// behaviour (SetGain only fails through injected faults), threads racing
// on the bus (calls are serialised).

#include <mutex>

#include "BusStatus.h"
#include "SimSession.h"

// On Windows the library stands in for NI-488.2: GPIB-32.DLL (32 bits) calls
// its routines __stdcall, ni4882.dll (64 bits) takes byte counts and the
// FindLstn limit as size_t and gives the status through Ibsta(), Iberr() and
// Ibcnt() as well.
#ifdef _WIN32
#include <cstddef>
#define ZSIM_VISIBLE __declspec(dllexport)
#define ZSIM_CALL __stdcall
#else
#define ZSIM_VISIBLE __attribute__((visibility("default")))
#define ZSIM_CALL
#endif
#define ZSIM_EXPORT extern "C" ZSIM_VISIBLE
#ifdef _WIN64
using ZsimCount = std::size_t;
using ZsimLimit = std::size_t;
#else
using ZsimCount = long;
using ZsimLimit = int;
#endif

extern "C" {
ZSIM_VISIBLE volatile int ibsta = 0;
ZSIM_VISIBLE volatile int iberr = 0;
ZSIM_VISIBLE volatile int ibcnt = 0;
ZSIM_VISIBLE volatile long ibcntl = 0;
ZSIM_VISIBLE volatile int user_ibsta = 0;
ZSIM_VISIBLE volatile int user_iberr = 0;
ZSIM_VISIBLE volatile int user_ibcntl = 0;
// Tells a diagnosing program that this driver is the simulator, which needs
// no configuration file and no device file.
ZSIM_VISIBLE extern const char zentra_sim_driver[] = "simulated Zentra mainframe";
}

#ifdef _WIN32
ZSIM_EXPORT unsigned long ZSIM_CALL Ibsta(void) { return static_cast<unsigned long>(user_ibsta); }
ZSIM_EXPORT unsigned long ZSIM_CALL Iberr(void) { return static_cast<unsigned long>(user_iberr); }
ZSIM_EXPORT unsigned long ZSIM_CALL Ibcnt(void) { return static_cast<unsigned long>(user_ibcntl); }
#endif

namespace {

using zsim::BusStatus;
using zsim::SimSession;
using zsim::TraceEntry;

void publish(const BusStatus& s) {
    ibsta = s.ibsta;
    user_ibsta = s.ibsta;
    iberr = s.iberr;
    user_iberr = s.iberr;
    ibcnt = static_cast<int>(s.count);
    ibcntl = static_cast<int>(s.count);
    user_ibcntl = static_cast<int>(s.count);
}

// Runs one driver call: follow the environment, act, publish, log. Nothing
// may escape the C interface, so any exception becomes a driver error.
template <typename Call>
void run(TraceEntry entry, Call call) {
    static std::mutex mutex;
    std::lock_guard lock(mutex);
    BusStatus status = BusStatus::error(zsim::gpib::EDVR);
    try {
        auto& session = SimSession::instance();
        session.refresh();
        status = call(session.bus(), entry);
        publish(status);
        session.trace().write(entry, status);
    } catch (...) {
        publish(status);
    }
}

}  // namespace

ZSIM_EXPORT void ZSIM_CALL SendIFC(int board) {
    run(TraceEntry{"SendIFC"}, [&](zsim::GpibBus& bus, TraceEntry&) { return bus.sendIfc(board); });
}

ZSIM_EXPORT void ZSIM_CALL DevClear(int board, unsigned short addr) {
    run(TraceEntry{"DevClear", addr}, [&](zsim::GpibBus& bus, TraceEntry&) { return bus.devClear(board, addr); });
}

ZSIM_EXPORT void ZSIM_CALL FindLstn(int board, const unsigned short addrlist[], unsigned short results[], ZsimLimit limit) {
    run(TraceEntry{"FindLstn"}, [&](zsim::GpibBus& bus, TraceEntry&) {
        return bus.findLstn(board, addrlist, results, static_cast<int>(limit));
    });
}

// eotmode is not examined: linux-gpib's NLend (2) and NI's (1) both end with LF + EOI.
ZSIM_EXPORT void ZSIM_CALL Send(int board, unsigned short addr, const void* data, ZsimCount count, int /*eotmode*/) {
    run(TraceEntry{"Send", addr}, [&](zsim::GpibBus& bus, TraceEntry& e) {
        auto s = bus.send(board, addr, data, static_cast<long>(count));
        e.cmd = bus.lastCommand();
        return s;
    });
}

// Termination is not examined: replies always end with EOI on their last byte.
ZSIM_EXPORT void ZSIM_CALL Receive(int board, unsigned short addr, void* buf, ZsimCount count, int /*termination*/) {
    run(TraceEntry{"Receive", addr}, [&](zsim::GpibBus& bus, TraceEntry& e) {
        auto s = bus.receive(board, addr, buf, static_cast<long>(count));
        e.cmd = bus.lastCommand();
        e.reply = bus.lastDelivered();
        return s;
    });
}

ZSIM_EXPORT void ZSIM_CALL WaitSRQ(int board, short* result) {
    run(TraceEntry{"WaitSRQ"}, [&](zsim::GpibBus& bus, TraceEntry& e) {
        auto s = bus.waitSrq(board, result);
        e.cmd = bus.lastCommand();
        e.srq = (s.ibsta & zsim::gpib::SRQI) ? 1 : 0;
        return s;
    });
}

ZSIM_EXPORT void ZSIM_CALL ReadStatusByte(int board, unsigned short addr, short* result) {
    run(TraceEntry{"ReadStatusByte", addr}, [&](zsim::GpibBus& bus, TraceEntry& e) {
        auto s = bus.readStatusByte(board, addr, result);
        e.cmd = bus.lastCommand();
        if (!s.failed()) e.stb = bus.lastDelivered().at(0);
        return s;
    });
}
