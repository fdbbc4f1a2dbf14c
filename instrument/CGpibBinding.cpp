#include "CGpibBinding.h"

#ifdef _WIN32
#define GPIB_CALL __stdcall
#else
#define GPIB_CALL
#endif

namespace gpib {

namespace {

using SendIFCFn = void(GPIB_CALL*)(int);
using DevClearFn = void(GPIB_CALL*)(int, Addr4882_t);
using FindLstnFn = void(GPIB_CALL*)(int, const Addr4882_t*, Addr4882_t*, int);
using SendFn = void(GPIB_CALL*)(int, Addr4882_t, const void*, long, int);
using ReceiveFn = void(GPIB_CALL*)(int, Addr4882_t, void*, long, int);
using WaitSRQFn = void(GPIB_CALL*)(int, short*);
using ReadStatusByteFn = void(GPIB_CALL*)(int, Addr4882_t, short*);

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
        auto* status = static_cast<volatile std::int32_t*>(os::GetSymbol(library, m_names.statusExport));
        auto* error = static_cast<volatile std::int32_t*>(os::GetSymbol(library, m_names.errorExport));
        auto* count = static_cast<volatile void*>(os::GetSymbol(library, m_names.countExport));
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

void CGpibBinding::CopyStatus()
{
    m_status.ibsta = *m_driverStatus;
    m_status.iberr = *m_driverError;
    const std::int32_t count = m_names.countIsLong
        ? static_cast<std::int32_t>(*static_cast<volatile long*>(m_driverCount))
        : *static_cast<volatile std::int32_t*>(m_driverCount);
    m_status.ibcnt = count;
    m_status.ibcntl = count;
}

void CGpibBinding::SendIFC(int board)
{
    if (auto fn = Resolve<SendIFCFn>(kSendIFC)) {
        fn(board);
        CopyStatus();
    }
}

void CGpibBinding::DevClear(int board, Addr4882_t address)
{
    if (auto fn = Resolve<DevClearFn>(kDevClear)) {
        fn(board, address);
        CopyStatus();
    }
}

void CGpibBinding::FindLstn(int board, const Addr4882_t* addressList, Addr4882_t* resultList, int limit)
{
    if (auto fn = Resolve<FindLstnFn>(kFindLstn)) {
        fn(board, addressList, resultList, limit);
        CopyStatus();
    }
}

void CGpibBinding::Send(int board, Addr4882_t address, const void* data, long count, int endMode)
{
    if (auto fn = Resolve<SendFn>(kSend)) {
        fn(board, address, data, count, endMode);
        CopyStatus();
    }
}

void CGpibBinding::Receive(int board, Addr4882_t address, void* buffer, long limit, int termination)
{
    if (auto fn = Resolve<ReceiveFn>(kReceive)) {
        fn(board, address, buffer, limit, termination);
        CopyStatus();
    }
}

void CGpibBinding::WaitSRQ(int board, short* result)
{
    if (auto fn = Resolve<WaitSRQFn>(kWaitSRQ)) {
        fn(board, result);
        CopyStatus();
    }
}

void CGpibBinding::ReadStatusByte(int board, Addr4882_t address, short* result)
{
    if (auto fn = Resolve<ReadStatusByteFn>(kReadStatusByte)) {
        fn(board, address, result);
        CopyStatus();
    }
}

} // namespace gpib
