// A scriptable stand-in for a GPIB driver library, for the tests of the binding and
// the connection: each routine's next outcomes can be queued, and every call is
// logged. Built three times: complete, without the transfer-count export, and
// without the Receive routine; on Windows a fourth loads a helper library by name.

#include <cstdio>
#include <cstring>
#include <deque>
#include <string>

#include "GpibCodes.h"

#ifdef _WIN32
#include <windows.h>
#define FAKE_DATA __declspec(dllexport)
#define FAKE_CALL __stdcall     // as NI-488.2 calls its routines
#else
#define FAKE_DATA __attribute__((visibility("default")))
#define FAKE_CALL
#endif
#define FAKE_EXPORT extern "C" FAKE_DATA
#ifdef _WIN64
using FakeCount = unsigned long long;   // ni4882.dll's size_t
using FakeLimit = unsigned long long;
#else
using FakeCount = long;
using FakeLimit = int;
#endif

extern "C" {
FAKE_DATA volatile int ibsta = 0;
FAKE_DATA volatile int iberr = 0;
FAKE_DATA volatile int ibcnt = 0;
#ifndef FAKE_OMIT_COUNT
FAKE_DATA volatile long ibcntl = 0;
FAKE_DATA volatile int user_ibcntl = 0;
#endif
FAKE_DATA volatile int user_ibsta = 0;
FAKE_DATA volatile int user_iberr = 0;
}

namespace {

enum Routine { kSendIFC, kDevClear, kFindLstn, kSend, kReceive, kWaitSRQ, kReadStatusByte, kRoutineCount };

struct Outcome {
    int sta;
    int err;
    long count;
    int value;  // FindLstn: address stored (-1 none); WaitSRQ: flag; ReadStatusByte: byte; Receive: bytes
};

std::deque<Outcome> g_queued[kRoutineCount];
std::string g_log;
unsigned char g_reply[64];

bool Next(Routine routine, Outcome& outcome)
{
    if (g_queued[routine].empty())
        return false;
    outcome = g_queued[routine].front();
    g_queued[routine].pop_front();
    return true;
}

void Publish(int sta, int err, long count)
{
    ibsta = sta;
    iberr = err;
    ibcnt = static_cast<int>(count);
    user_ibsta = sta;
    user_iberr = err;
#ifndef FAKE_OMIT_COUNT
    ibcntl = count;
    user_ibcntl = static_cast<int>(count);
#endif
}

void Log(const std::string& entry)
{
#if defined(_WIN32) && defined(FAKE_LOADS_HELPER)
    // As a vendor driver may: a helper library loaded by bare name on the first
    // call, found wherever the program's loader settings let the search go.
    static const bool helper = [] {
        const bool loaded = LoadLibraryW(L"valdina-driver-helper.dll") != nullptr;
        std::fprintf(stderr, "fake driver: valdina-driver-helper.dll %s\n", loaded ? "loaded" : "not found");
        return loaded;
    }();
    (void)helper;
#endif
    if (!g_log.empty())
        g_log += ' ';
    g_log += entry;
}

} // namespace

// ni4882.dll gives the status through functions.
#ifdef _WIN64
FAKE_EXPORT unsigned long Ibsta() { return static_cast<unsigned long>(user_ibsta); }
FAKE_EXPORT unsigned long Iberr() { return static_cast<unsigned long>(user_iberr); }
#ifndef FAKE_OMIT_COUNT
FAKE_EXPORT unsigned long Ibcnt() { return static_cast<unsigned long>(user_ibcntl); }
#endif
#endif

FAKE_EXPORT void fake_reset()
{
    for (auto& queue : g_queued)
        queue.clear();
    g_log.clear();
    std::memset(g_reply, 0, sizeof g_reply);
    Publish(0, 0, 0);
}

FAKE_EXPORT void fake_push(int routine, int sta, int err, long count, int value)
{
    g_queued[routine].push_back({sta, err, count, value});
}

FAKE_EXPORT void fake_set_reply(const unsigned char* bytes, int length)
{
    std::memcpy(g_reply, bytes, static_cast<std::size_t>(length));
}

FAKE_EXPORT const char* fake_log()
{
    return g_log.c_str();
}

FAKE_EXPORT void FAKE_CALL SendIFC(int)
{
    Log("SendIFC");
    Outcome o{gpib::CMPL, 0, 0, 0};
    Next(kSendIFC, o);
    Publish(o.sta, o.err, o.count);
}

FAKE_EXPORT void FAKE_CALL DevClear(int, unsigned short address)
{
    Log("DevClear:" + std::to_string(address));
    Outcome o{gpib::CMPL, 0, 0, 0};
    Next(kDevClear, o);
    Publish(o.sta, o.err, o.count);
}

FAKE_EXPORT void FAKE_CALL FindLstn(int, const unsigned short* addresses, unsigned short* results, FakeLimit limit)
{
    Log("FindLstn:" + std::to_string(addresses[0]) + "," + std::to_string(addresses[1]) + "/" + std::to_string(limit));
    Outcome o{gpib::CMPL, 0, 1, addresses[0]};
    Next(kFindLstn, o);
    if (o.value >= 0)
        results[0] = static_cast<unsigned short>(o.value);
    Publish(o.sta, o.err, o.count);
}

FAKE_EXPORT void FAKE_CALL Send(int, unsigned short address, const void* data, FakeCount count, int endMode)
{
    Log("Send:" + std::to_string(address) + ":" + std::string(static_cast<const char*>(data), static_cast<std::size_t>(count)) +
        ":" + std::to_string(endMode));
    Outcome o{gpib::CMPL, 0, static_cast<long>(count), 0};
    Next(kSend, o);
    Publish(o.sta, o.err, o.count);
}

#ifndef FAKE_OMIT_RECEIVE
FAKE_EXPORT void FAKE_CALL Receive(int, unsigned short, void* buffer, FakeCount limit, int termination)
{
    Log("Receive:" + std::to_string(limit) + ":" + std::to_string(termination));
    Outcome o{gpib::END | gpib::CMPL, 0, static_cast<long>(limit), static_cast<int>(limit)};
    Next(kReceive, o);
    std::memcpy(buffer, g_reply, static_cast<std::size_t>(o.value));
    Publish(o.sta, o.err, o.count);
}
#endif

FAKE_EXPORT void FAKE_CALL WaitSRQ(int, short* result)
{
    Log("WaitSRQ");
    Outcome o{gpib::CMPL, 0, 0, 1};
    Next(kWaitSRQ, o);
    *result = static_cast<short>(o.value);
    Publish(o.sta, o.err, o.count);
}

FAKE_EXPORT void FAKE_CALL ReadStatusByte(int, unsigned short, short* result)
{
    Log("ReadStatusByte");
    Outcome o{gpib::CMPL, 0, 1, 0x40};
    Next(kReadStatusByte, o);
    *result = static_cast<short>(o.value);
    Publish(o.sta, o.err, o.count);
}
