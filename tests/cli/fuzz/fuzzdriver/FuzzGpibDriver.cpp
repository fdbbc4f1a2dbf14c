// A GPIB driver library whose every answer is read from a byte string: the bus
// path's fuzz target hands it the fuzzer's input. In record mode it passes each
// call on to another driver library (the simulated mainframe) and writes that
// driver's answers down in the same encoding, which is how the seeds are made.
//
// One call's answer, in the order of the calls:
//   op byte   0x80: raw status follows: ibsta (2 bytes), iberr (4), ibcntl (4),
//                   little-endian; without it the status is that of a good call
//             0x01: the routine's odd outcome, below; the other bits are ignored
//   FindLstn        odd: n (1 byte) and n result entries (2 bytes each), of which
//                   at most the limit are stored; else the first listed address
//   Receive         length (1 byte) and that many reply bytes; what fits is stored
//   WaitSRQ         odd: no service request
//   ReadStatusByte  odd: the value stored (2 bytes); else 0x40
// A good call: ibsta CMPL (Receive adds END, WaitSRQ SRQI or TIMO), iberr 0,
// ibcntl the bytes or entries moved. When the input has run out, or after
// kMaxCalls calls, the driver is gone: every call fails with ERR and EDVR, so a
// whole pass costs at most one call per card after that.

#include <dlfcn.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "GpibCodes.h"

#define FUZZ_EXPORT extern "C" __attribute__((visibility("default")))
#define FUZZ_DATA __attribute__((visibility("default")))

extern "C" {
FUZZ_DATA volatile int ibsta = 0;
FUZZ_DATA volatile int iberr = 0;
FUZZ_DATA volatile int ibcnt = 0;
FUZZ_DATA volatile long ibcntl = 0;
FUZZ_DATA volatile int user_ibsta = 0;
FUZZ_DATA volatile int user_iberr = 0;
FUZZ_DATA volatile int user_ibcntl = 0;
}

namespace {

using gpib::CMPL;
using gpib::EDVR;
using gpib::END;
using gpib::ERR;
using gpib::SRQI;
using gpib::TIMO;
constexpr int kRaw = 0x80;
constexpr int kOdd = 0x01;
constexpr long kMaxCalls = 20000;

struct Status {
    int sta;
    int err;
    long count;
};

// Replay: the input and how far it has been read.
const std::uint8_t* g_input = nullptr;
std::size_t g_size = 0;
std::size_t g_at = 0;
long g_calls = 0;

// Record: the driver the calls go to, and what it answered.
void* g_target = nullptr;
std::vector<std::uint8_t> g_recorded;
// One recorded call may be given another outcome than the target's, for the
// faults that a well-behaved driver never shows.
struct Twist {
    long call = -1;
    Status status{};
    int value = 0;   // FindLstn: the entry stored; ReadStatusByte: the status byte
};
Twist g_twist;
long g_recordedCalls = 0;

void Publish(const Status& s)
{
    ibsta = s.sta;
    iberr = s.err;
    ibcnt = static_cast<int>(s.count);
    ibcntl = s.count;
    user_ibsta = s.sta;
    user_iberr = s.err;
    user_ibcntl = static_cast<int>(s.count);
}

// Past the end of the input every byte reads as 0; Gone() tells the caller.
std::uint32_t Take(int bytes)
{
    std::uint32_t value = 0;
    for (int i = 0; i < bytes; ++i, ++g_at) {
        if (g_at < g_size)
            value |= static_cast<std::uint32_t>(g_input[g_at]) << (8 * i);
    }
    return value;
}

bool Gone()
{
    return g_at >= g_size || ++g_calls > kMaxCalls;
}

// Reads an op byte and, when it asks for it, the raw status over `good`.
int TakeOp(Status& good)
{
    const int op = static_cast<int>(Take(1));
    if (op & kRaw) {
        good.sta = static_cast<int>(Take(2));
        good.err = static_cast<std::int32_t>(Take(4));
        good.count = static_cast<std::int32_t>(Take(4));
    }
    return op;
}

const Status kGone{ERR, EDVR, 0};

// Record mode: the target driver's routine and its published status.
template <typename Fn> Fn Target(const char* name)
{
    return reinterpret_cast<Fn>(dlsym(g_target, name));
}

bool Twisted()
{
    return g_recordedCalls - 1 == g_twist.call;
}

// The target's status after the call, unless this call is the twisted one.
Status TargetStatus()
{
    ++g_recordedCalls;
    if (Twisted())
        return g_twist.status;
    const auto* sta = static_cast<volatile int*>(dlsym(g_target, "ibsta"));
    const auto* err = static_cast<volatile int*>(dlsym(g_target, "iberr"));
    const auto* count = static_cast<volatile long*>(dlsym(g_target, "ibcntl"));
    return {*sta, *err, *count};
}

void Put(std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        g_recorded.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// Writes the op byte and, when the answer differs from the good call's, the raw status.
void PutOp(const Status& actual, const Status& good, bool odd)
{
    const bool raw = actual.sta != good.sta || actual.err != good.err || actual.count != good.count;
    Put((raw ? kRaw : 0) | (odd ? kOdd : 0), 1);
    if (raw) {
        Put(static_cast<std::uint32_t>(actual.sta), 2);
        Put(static_cast<std::uint32_t>(actual.err), 4);
        Put(static_cast<std::uint32_t>(actual.count), 4);
    }
}

// A routine without output of its own: status only.
template <typename Call> void StatusOnly(const char* name, long goodCount, Call call)
{
    const Status good{CMPL, 0, goodCount};
    if (g_target != nullptr) {
        call(name);
        const Status actual = TargetStatus();
        PutOp(actual, good, false);
        Publish(actual);
        return;
    }
    if (Gone())
        return Publish(kGone);
    Status status = good;
    TakeOp(status);
    Publish(status);
}

} // namespace

// Replays `input` from its first byte; the bytes must outlive the calls.
FUZZ_EXPORT void fuzz_driver_replay(const std::uint8_t* input, std::size_t size)
{
    g_input = input;
    g_size = size;
    g_at = 0;
    g_calls = 0;
    g_target = nullptr;
    Publish({0, 0, 0});
}

// Passes every call on to the driver library `path` and records its answers.
FUZZ_EXPORT int fuzz_driver_record(const char* path)
{
    g_target = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    g_recorded.clear();
    g_recordedCalls = 0;
    g_twist = {};
    return g_target != nullptr;
}

// While recording: call number `call` (from 0) ends with this status and value.
FUZZ_EXPORT void fuzz_driver_twist(long call, int sta, int err, long count, int value)
{
    g_twist = {call, {sta, err, count}, value};
}

FUZZ_EXPORT const std::uint8_t* fuzz_driver_recorded(std::size_t* size)
{
    *size = g_recorded.size();
    return g_recorded.data();
}

FUZZ_EXPORT void SendIFC(int board)
{
    StatusOnly("SendIFC", 0, [&](const char* name) { Target<void (*)(int)>(name)(board); });
}

FUZZ_EXPORT void DevClear(int board, unsigned short address)
{
    StatusOnly("DevClear", 0, [&](const char* name) { Target<void (*)(int, unsigned short)>(name)(board, address); });
}

FUZZ_EXPORT void Send(int board, unsigned short address, const void* data, long count, int endMode)
{
    StatusOnly("Send", count, [&](const char* name) {
        Target<void (*)(int, unsigned short, const void*, long, int)>(name)(board, address, data, count, endMode);
    });
}

FUZZ_EXPORT void FindLstn(int board, const unsigned short* addresses, unsigned short* results, int limit)
{
    if (g_target != nullptr) {
        std::vector<unsigned short> before(results, results + limit);
        Target<void (*)(int, const unsigned short*, unsigned short*, int)>("FindLstn")(board, addresses, results, limit);
        const Status actual = TargetStatus();
        if (Twisted() && limit > 0)
            results[0] = static_cast<unsigned short>(g_twist.value);
        const bool found = limit > 0 && results[0] == addresses[0];
        PutOp(actual, {CMPL, 0, found ? 1 : 0}, !found);
        if (!found) {
            Put(static_cast<std::uint32_t>(limit), 1);
            for (int i = 0; i < limit; ++i)
                Put(results[i], 2);
        }
        return Publish(actual);
    }
    if (Gone())
        return Publish(kGone);
    Status status{CMPL, 0, 1};
    const int op = TakeOp(status);
    if (op & kOdd) {
        const int entries = static_cast<int>(Take(1));
        for (int i = 0; i < entries; ++i) {
            const auto entry = static_cast<unsigned short>(Take(2));
            if (i < limit)
                results[i] = entry;
        }
        if ((op & kRaw) == 0)
            status.count = entries < limit ? entries : limit;
    } else if (limit > 0) {
        results[0] = addresses[0];
    }
    Publish(status);
}

FUZZ_EXPORT void Receive(int board, unsigned short address, void* buffer, long limit, int termination)
{
    auto* bytes = static_cast<std::uint8_t*>(buffer);
    if (g_target != nullptr) {
        Target<void (*)(int, unsigned short, void*, long, int)>("Receive")(board, address, buffer, limit, termination);
        // The bytes the target delivered, whatever count a twist reports.
        const long delivered = *static_cast<volatile long*>(dlsym(g_target, "ibcntl"));
        const long length = delivered < 0 ? 0 : (delivered > limit ? limit : delivered);
        const Status actual = TargetStatus();
        PutOp(actual, {CMPL | END, 0, length}, false);
        Put(static_cast<std::uint32_t>(length), 1);
        for (long i = 0; i < length; ++i)
            Put(bytes[i], 1);
        return Publish(actual);
    }
    if (Gone())
        return Publish(kGone);
    Status status{CMPL | END, 0, 0};
    const bool raw = (TakeOp(status) & kRaw) != 0;
    const long length = static_cast<long>(Take(1));
    long stored = 0;
    for (long i = 0; i < length; ++i) {
        const auto byte = static_cast<std::uint8_t>(Take(1));
        if (i < limit)
            bytes[stored++] = byte;
    }
    if (!raw)
        status.count = stored;
    Publish(status);
}

FUZZ_EXPORT void WaitSRQ(int board, short* result)
{
    if (g_target != nullptr) {
        Target<void (*)(int, short*)>("WaitSRQ")(board, result);
        const Status actual = TargetStatus();
        const bool none = *result == 0;
        PutOp(actual, {CMPL | (none ? TIMO : SRQI), 0, 0}, none);
        return Publish(actual);
    }
    if (Gone())
        return Publish(kGone);
    Status status{CMPL | SRQI, 0, 0};
    const int op = TakeOp(status);
    const bool none = (op & kOdd) != 0;
    if (none && (op & kRaw) == 0)
        status.sta = CMPL | TIMO;
    *result = none ? 0 : 1;
    Publish(status);
}

FUZZ_EXPORT void ReadStatusByte(int board, unsigned short address, short* result)
{
    if (g_target != nullptr) {
        Target<void (*)(int, unsigned short, short*)>("ReadStatusByte")(board, address, result);
        const Status actual = TargetStatus();
        if (Twisted())
            *result = static_cast<short>(g_twist.value);
        const bool odd = *result != 0x40;
        PutOp(actual, {CMPL, 0, 1}, odd);
        if (odd)
            Put(static_cast<std::uint16_t>(*result), 2);
        return Publish(actual);
    }
    if (Gone())
        return Publish(kGone);
    Status status{CMPL, 0, 1};
    const int op = TakeOp(status);
    *result = (op & kOdd) ? static_cast<short>(Take(2)) : short{0x40};
    Publish(status);
}
