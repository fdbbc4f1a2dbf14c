#pragma once
// The GPIB driver as the rest of the system sees it: seven routines, looked up in
// the vendor's driver library at run time and never linked, and the status words
// that the binding copies out of the library after every call.

#include <cstdint>

#include "GpibCodes.h"
#include "SharedLibrary.h"

namespace gpib {

using Addr4882_t = std::uint16_t;

constexpr Addr4882_t NOADDR = 0xFFFF;
constexpr int STOPend = 0x0100;    // Receive: stop at EOI only, no end character
#ifdef _WIN32
constexpr int NLend = 1;           // Send: line feed with EOI after the data
#else
constexpr int NLend = 2;           // linux-gpib numbers its end modes differently
#endif

// Where the driver lives and what its status exports are called.
struct DriverNames {
    const char* library;
    const char* statusExport;
    const char* errorExport;
    const char* countExport;
    bool countIsLong;              // linux-gpib's ibcntl is a C long, NI's user_ibcntl 32 bits
    bool statusByFunction = false; // the exports are functions returning unsigned long, not variables
};

inline constexpr DriverNames kNiDriverNames{"GPIB-32.DLL", "user_ibsta", "user_iberr", "user_ibcntl", false};
// A 64-bit process cannot load GPIB-32.DLL; NI's 64-bit library gives the status
// through functions and takes byte counts and the FindLstn limit as size_t.
inline constexpr DriverNames kNi64DriverNames{"ni4882.dll", "Ibsta", "Iberr", "Ibcnt", false, true};
inline constexpr DriverNames kLinuxGpibDriverNames{"libgpib.so.0", "ibsta", "iberr", "ibcntl", true};

#if defined(_WIN64)
inline constexpr DriverNames kPlatformDriverNames = kNi64DriverNames;
#elif defined(_WIN32)
inline constexpr DriverNames kPlatformDriverNames = kNiDriverNames;
#else
inline constexpr DriverNames kPlatformDriverNames = kLinuxGpibDriverNames;
#endif

// The seven routines, under the names the driver exports them.
inline constexpr const char* kRoutineNames[] = {
    "SendIFC", "DevClear", "FindLstn", "Send", "Receive", "WaitSRQ", "ReadStatusByte",
};

// The system's own copy of the driver's status after the latest call.
struct DriverStatus {
    std::int32_t ibsta = 0;
    std::int32_t iberr = 0;
    std::int32_t ibcnt = 0;
    std::int32_t ibcntl = 0;
};

// Whether a call reached the driver. When it did not, the status is the binding's
// own (ERR, EDVR and the loader's error code), not the driver's answer.
enum class CallReach {
    Driver,      // the driver's routine ran
    NoLibrary,   // no usable driver library is loaded
    NoRoutine,   // the library lacks the routine
};

// Sees every driver call with the status it left (the command line's --trace).
class IDriverCallObserver {
public:
    virtual ~IDriverCallObserver() = default;
    // `address`: the device addressed, -1 for a board-level call.
    virtual void OnDriverCall(const char* routine, int board, int address, const DriverStatus& status,
                              CallReach reach) = 0;
};

class CGpibBinding {
public:
    explicit CGpibBinding(const DriverNames& names = kPlatformDriverNames);
    CGpibBinding(const CGpibBinding&) = delete;
    CGpibBinding& operator=(const CGpibBinding&) = delete;
    // The library stays loaded until the process ends, so nothing is freed here.
    ~CGpibBinding() = default;

    // The one binding of the process, with the platform's names.
    static CGpibBinding& Process();

    void SendIFC(int board);
    void DevClear(int board, Addr4882_t address);
    void FindLstn(int board, const Addr4882_t* addressList, Addr4882_t* resultList, int limit);
    void Send(int board, Addr4882_t address, const void* data, long count, int endMode);
    void Receive(int board, Addr4882_t address, void* buffer, long limit, int termination);
    void WaitSRQ(int board, short* result);
    void ReadStatusByte(int board, Addr4882_t address, short* result);

    const DriverStatus& Status() const { return m_status; }
    bool IsLoaded() const { return m_library != nullptr; }
    const DriverNames& Names() const { return m_names; }
    // Null: no one watches.
    void SetCallObserver(IDriverCallObserver* observer) { m_callObserver = observer; }

private:
    enum Routine { kSendIFC, kDevClear, kFindLstn, kSend, kReceive, kWaitSRQ, kReadStatusByte, kRoutineCount };

    template <typename Fn> Fn Resolve(Routine routine);
    void* GetGpibProc(Routine routine);
    void SetFailureValues();
    void CopyStatus();
    std::int32_t ReadStatusExport(void* address, bool isLong) const;
    void Called(Routine routine, int board, int address) const;

    DriverNames m_names;
    os::LibraryHandle m_library = nullptr;
    void* m_driverStatus = nullptr;    // variables or functions, as m_names says
    void* m_driverError = nullptr;
    void* m_driverCount = nullptr;
    void* m_routines[kRoutineCount] = {};
    DriverStatus m_status;
    IDriverCallObserver* m_callObserver = nullptr;
};

} // namespace gpib
