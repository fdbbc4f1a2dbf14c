// The verify-all pass over a mainframe of 16 to 256 cards on the simulated driver
// with no latency, against the floor: the same driver calls from a bare loop.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include <sys/resource.h>

#include "CountingAllocator.h"
#include "VerifiedMainframe.h"
#include "CGpibBinding.h"
#include "VerifyAll.h"

namespace {

void PerUnitCounters(benchmark::State& state, int cards, int transactions)
{
    const double iterations = static_cast<double>(state.iterations());
    state.counters["card"] = benchmark::Counter(iterations * cards, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["transaction"] = benchmark::Counter(iterations * transactions,
                                                       benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["transactions"] = transactions;
}

void BM_VerifyAll(benchmark::State& state)
{
    const int cards = static_cast<int>(state.range(0));
    VerifiedMainframe setup(cards);
    if (!setup.Usable(state))
        return;

    heap::ResetPeak();
    const std::size_t before = heap::LiveBytes();
    VerifyAllChannels(setup.instrument, setup.channels, setup.rows, setup.observer);
    const std::size_t peakHeap = heap::PeakBytes() - before;

    for (auto _ : state)
        VerifyAllChannels(setup.instrument, setup.channels, setup.rows, setup.observer);

    PerUnitCounters(state, cards, setup.transactions);
    state.counters["peak_heap_bytes"] = static_cast<double>(peakHeap);
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    state.counters["max_rss_kib"] = static_cast<double>(usage.ru_maxrss);
    if (setup.messages.count != 0)
        state.SkipWithError("a card failed during the timed passes");
}

// The floor: the driver calls of one pass, same count and order, with no system
// code between them.
void BM_DriverFloor(benchmark::State& state)
{
    const int cards = static_cast<int>(state.range(0));
    VerifiedMainframe setup(cards);
    if (!setup.Usable(state))
        return;

    gpib::CGpibBinding& bus = gpib::CGpibBinding::Process();
    const gpib::Addr4882_t listen[2] = {29, gpib::NOADDR};
    gpib::Addr4882_t found[1] = {gpib::NOADDR};
    std::uint8_t reply[64];
    short value = 0;
    for (auto _ : state) {
        for (const DriverCall& call : setup.calls) {
            switch (call.kind) {
            case DriverCall::FindLstn: bus.FindLstn(0, listen, found, 1); break;
            case DriverCall::Send:
                bus.Send(0, 29, call.command.data(), static_cast<long>(call.command.size()), gpib::NLend);
                break;
            case DriverCall::Receive: bus.Receive(0, 29, reply, call.limit, gpib::STOPend); break;
            case DriverCall::WaitSRQ: bus.WaitSRQ(0, &value); break;
            case DriverCall::ReadStatusByte: bus.ReadStatusByte(0, 29, &value); break;
            }
        }
        benchmark::DoNotOptimize(reply);
    }
    PerUnitCounters(state, cards, setup.transactions);
    state.counters["driver_calls"] = static_cast<double>(setup.calls.size());
}

} // namespace

BENCHMARK(BM_VerifyAll)->Arg(16)->Arg(64)->Arg(256)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DriverFloor)->Arg(16)->Arg(64)->Arg(256)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
