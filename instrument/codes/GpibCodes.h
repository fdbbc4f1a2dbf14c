#pragma once
// The numbers of the GPIB driver interface as linux-gpib and NI-488.2 both define
// them: the status bits of ibsta and the error codes of iberr, with the names the
// drivers' documentation gives them. Header-only, so that the simulated driver,
// which links nothing of the core, and the tests' stand-in drivers share the one
// table.

namespace gpib {

// ibsta
inline constexpr int ERR = 0x8000;     // the call failed, iberr says why
inline constexpr int TIMO = 0x4000;    // time limit exceeded
inline constexpr int END = 0x2000;     // END or EOS seen
inline constexpr int SRQI = 0x1000;    // a device requests service
inline constexpr int CMPL = 0x0100;    // I/O complete

// iberr
inline constexpr int EDVR = 0;    // system error (its errno in ibcntl); also "driver not reachable"
inline constexpr int ECIC = 1;
inline constexpr int ENOL = 2;
inline constexpr int EADR = 3;
inline constexpr int EARG = 4;
inline constexpr int ESAC = 5;
inline constexpr int EABO = 6;
inline constexpr int ENEB = 7;
inline constexpr int EDMA = 8;
inline constexpr int EOIP = 10;
inline constexpr int ECAP = 11;
inline constexpr int EFSO = 12;
inline constexpr int EBUS = 14;
inline constexpr int ESTB = 15;
inline constexpr int ESRQ = 16;
inline constexpr int ETAB = 20;
inline constexpr int ELCK = 21;
inline constexpr int EARM = 22;
inline constexpr int EHDL = 23;
inline constexpr int EWIP = 26;
inline constexpr int ERST = 27;
inline constexpr int EPWR = 28;

struct ErrorCode {
    int code;
    const char* name;
    const char* meaning;
};

inline constexpr ErrorCode kErrorCodes[] = {
    {EDVR, "EDVR", "system error"},
    {ECIC, "ECIC", "the board is not controller-in-charge"},
    {ENOL, "ENOL", "no listener on the bus"},
    {EADR, "EADR", "the board is not addressed correctly"},
    {EARG, "EARG", "invalid argument"},
    {ESAC, "ESAC", "the board is not system controller"},
    {EABO, "EABO", "I/O aborted (timeout)"},
    {ENEB, "ENEB", "no such board"},
    {EDMA, "EDMA", "DMA error"},
    {EOIP, "EOIP", "asynchronous I/O in progress"},
    {ECAP, "ECAP", "the board lacks the capability"},
    {EFSO, "EFSO", "file system error"},
    {EBUS, "EBUS", "GPIB bus error"},
    {ESTB, "ESTB", "serial poll status byte lost"},
    {ESRQ, "ESRQ", "SRQ stuck on"},
    {ETAB, "ETAB", "table problem"},
    {ELCK, "ELCK", "interface locked"},
    {EARM, "EARM", "ibnotify callback failed to rearm"},
    {EHDL, "EHDL", "invalid handle"},
    {EWIP, "EWIP", "wait already in progress"},
    {ERST, "ERST", "the event was reset"},
    {EPWR, "EPWR", "the interface lost power"},
};

// The table's entry for `iberr`; null for a code no driver defines.
constexpr const ErrorCode* FindErrorCode(int iberr)
{
    for (const ErrorCode& entry : kErrorCodes) {
        if (entry.code == iberr)
            return &entry;
    }
    return nullptr;
}

} // namespace gpib
