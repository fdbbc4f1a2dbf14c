#pragma once
// Test-side control of the scriptable fake driver library.

#include <string>

#include "CGpibBinding.h"

enum FakeRoutine { kFakeSendIFC, kFakeDevClear, kFakeFindLstn, kFakeSend, kFakeReceive, kFakeWaitSRQ, kFakeReadStatusByte };

class FakeDriver {
public:
    explicit FakeDriver(const char* path);
    ~FakeDriver();

    void Reset();
    // The routine's next call ends with these status values; `value` is what the call
    // stores: FindLstn the address found (-1: nothing), WaitSRQ the flag,
    // ReadStatusByte the status byte, Receive the number of bytes delivered.
    void Push(FakeRoutine routine, int sta, int err, long count, int value);
    void SetReply(const unsigned char* bytes, int length);
    std::string Log() const;

    gpib::DriverNames LinuxNames() const { return {m_path, "ibsta", "iberr", "ibcntl", true}; }
#ifdef _WIN64
    gpib::DriverNames NiNames() const { return {m_path, "Ibsta", "Iberr", "Ibcnt", false, true}; }
#else
    gpib::DriverNames NiNames() const { return {m_path, "user_ibsta", "user_iberr", "user_ibcntl", false}; }
#endif

private:
    const char* m_path;
    void* m_handle;
};
