#include "CGpibBinding.h"

#include <cstddef>

#ifdef _WIN32
#define GPIB_CALL __stdcall
#else
#define GPIB_CALL
#endif

namespace gpib {

namespace {

// ni4882.dll takes byte counts and the FindLstn limit as size_t.
#ifdef _WIN64
using ByteCount = std::size_t;
using ListLimit = std::size_t;
#else
using ByteCount = long;
using ListLimit = int;
#endif

using SendIFCFn = void(GPIB_CALL*)(int);
using DevClearFn = void(GPIB_CALL*)(int, Addr4882_t);
using FindLstnFn = void(GPIB_CALL*)(int, const Addr4882_t*, Addr4882_t*, ListLimit);
using SendFn = void(GPIB_CALL*)(int, Addr4882_t, const void*, ByteCount, int);
using ReceiveFn = void(GPIB_CALL*)(int, Addr4882_t, void*, ByteCount, int);
using WaitSRQFn = void(GPIB_CALL*)(int, short*);
using ReadStatusByteFn = void(GPIB_CALL*)(int, Addr4882_t, short*);
using StatusFn = unsigned long(GPIB_CALL*)();

} // namespace

CGpibBinding::CGpibBinding(const DriverNames& names)
    : m_names(names)
{
}

CGpibBinding& CGpibBinding::Process()
{
    static CGpibBinding binding;
    return binding;
}

void CGpibBinding::SetFailureValues()
{
    const long lastError = os::LastErrorCode();
    m_status.ibsta = ERR;
    m_status.iberr = EDVR;
    m_status.ibcnt = static_cast<std::int32_t>(lastError);
    m_status.ibcntl = static_cast<std::int32_t>(lastError);
}

void* CGpibBinding::GetGpibProc(Routine routine)
{
    if (m_library == nullptr) {
        os::LibraryHandle library = os::LoadSharedLibrary(m_names.library);
        if (library == nullptr) {
            SetFailureValues();
            return nullptr;
        }
        void* status = os::GetSymbol(library, m_names.statusExport);
        void* error = os::GetSymbol(library, m_names.errorExport);
        void* count = os::GetSymbol(library, m_names.countExport);
        if (status == nullptr || error == nullptr || count == nullptr) {
            // Not a driver we can read the outcome from: treat it as absent.
            SetFailureValues();
            os::FreeSharedLibrary(library);
            return nullptr;
        }
        m_library = library;
        m_driverStatus = status;
        m_driverError = error;
        m_driverCount = count;
    }
    void* proc = os::GetSymbol(m_library, kRoutineNames[routine]);
    if (proc == nullptr)
        SetFailureValues();
    return proc;
}

template <typename Fn> Fn CGpibBinding::Resolve(Routine routine)
{
    // A failed lookup is not cached: the next call tries again.
    if (m_routines[routine] == nullptr)
        m_routines[routine] = GetGpibProc(routine);
    return reinterpret_cast<Fn>(m_routines[routine]);
}

std::int32_t CGpibBinding::ReadStatusExport(void* address, bool isLong) const
{
    if (m_names.statusByFunction)
        return static_cast<std::int32_t>(reinterpret_cast<StatusFn>(address)());
    if (isLong)
        return static_cast<std::int32_t>(*static_cast<volatile long*>(address));
    return *static_cast<volatile std::int32_t*>(address);
}

void CGpibBinding::CopyStatus()
{
    m_status.ibsta = ReadStatusExport(m_driverStatus, false);
    m_status.iberr = ReadStatusExport(m_driverError, false);
    const std::int32_t count = ReadStatusExport(m_driverCount, m_names.countIsLong);
    m_status.ibcnt = count;
    m_status.ibcntl = count;
}

void CGpibBinding::Called(Routine routine, int board, int address) const
{
    if (m_callObserver == nullptr)
        return;
    const CallReach reach = m_routines[routine] != nullptr ? CallReach::Driver
                            : m_library == nullptr         ? CallReach::NoLibrary
                                                           : CallReach::NoRoutine;
    m_callObserver->OnDriverCall(kRoutineNames[routine], board, address, m_status, reach);
}

void CGpibBinding::SendIFC(int board)
{
    if (auto fn = Resolve<SendIFCFn>(kSendIFC)) {
        fn(board);
        CopyStatus();
    }
    Called(kSendIFC, board, -1);
}

void CGpibBinding::DevClear(int board, Addr4882_t address)
{
    if (auto fn = Resolve<DevClearFn>(kDevClear)) {
        fn(board, address);
        CopyStatus();
    }
    Called(kDevClear, board, address);
}

void CGpibBinding::FindLstn(int board, const Addr4882_t* addressList, Addr4882_t* resultList, int limit)
{
    if (auto fn = Resolve<FindLstnFn>(kFindLstn)) {
        fn(board, addressList, resultList, static_cast<ListLimit>(limit));
        CopyStatus();
    }
    Called(kFindLstn, board, addressList != nullptr ? addressList[0] : -1);
}

void CGpibBinding::Send(int board, Addr4882_t address, const void* data, long count, int endMode)
{
    if (auto fn = Resolve<SendFn>(kSend)) {
        fn(board, address, data, static_cast<ByteCount>(count), endMode);
        CopyStatus();
    }
    Called(kSend, board, address);
}

void CGpibBinding::Receive(int board, Addr4882_t address, void* buffer, long limit, int termination)
{
    if (auto fn = Resolve<ReceiveFn>(kReceive)) {
        fn(board, address, buffer, static_cast<ByteCount>(limit), termination);
        CopyStatus();
    }
    Called(kReceive, board, address);
}

void CGpibBinding::WaitSRQ(int board, short* result)
{
    if (auto fn = Resolve<WaitSRQFn>(kWaitSRQ)) {
        fn(board, result);
        CopyStatus();
    }
    Called(kWaitSRQ, board, -1);
}

void CGpibBinding::ReadStatusByte(int board, Addr4882_t address, short* result)
{
    if (auto fn = Resolve<ReadStatusByteFn>(kReadStatusByte)) {
        fn(board, address, result);
        CopyStatus();
    }
    Called(kReadStatusByte, board, address);
}

} // namespace gpib
