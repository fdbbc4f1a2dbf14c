// Restoring a card's EEPROM image on the simulated driver, at 0 and 200 us per
// transaction, against the bus floor: the transactions it must make times the
// latency. A full image goes into an erased card; a one-block repair puts a
// corrupted "gain" block right.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>

#include <nlohmann/json.hpp>

#include "BenchMainframe.h"
#include "CInstrument.h"
#include "IChannelRows.h"
#include "IOperatorMessages.h"
#include "IPassObserver.h"
#include "ImageRestore.h"
#include "SimScenario.h"

namespace {

using valdina::test::SimScenario;
using valdina::test::TestImages;

constexpr int kChannel = 37;

// The card before the restore: erased for a full image, the good image with its
// "gain" block corrupted for a one-block repair.
nlohmann::json Mainframe(bool fullImage, int latencyUs)
{
    const TestImages::Image card = fullImage ? TestImages::erased() : TestImages::valid(7, {"gain"});
    return {{"latency_us", latencyUs}, {"cards", {SimScenario::imageCard(kChannel, card)}}};
}

EepromImage GoodImage()
{
    const TestImages::Image good = TestImages::valid(7);
    EepromImage image{};
    std::copy(good.begin(), good.end(), image.begin());
    return image;
}

void BM_Restore(benchmark::State& state)
{
    const bool fullImage = state.range(0) != 0;
    const int latencyUs = static_cast<int>(state.range(1));
    const EepromImage image = GoodImage();
    CountingMessages messages;
    CNoPassObserver observer;
    CNoChannelRows rows;
    CChannelInfo card;
    card.m_nStatus = StatusUnknown;

    // One restore with the bus log on counts the transactions: each starts with a Send.
    int transactions = 0;
    int written = 0;
    {
        SimScenario counted(Mainframe(fullImage, 0));
        CInstrument instrument;
        instrument.SetMessageSink(&messages);
        const RestoreResult result = RestoreEepromImage(instrument, card, kChannel, image, rows, observer);
        if (result.outcome != RestoreResult::Outcome::Restored || !result.allValid) {
            state.SkipWithError(("the restore failed: " + result.failure).c_str());
            return;
        }
        written = result.written;
        transactions = static_cast<int>(counted.busLog().of("Send").size());
    }

    std::chrono::steady_clock::duration restoring{};
    for (auto _ : state) {
        state.PauseTiming();
        // A new scenario file: the simulator starts again from the card as it was.
        auto scenario = std::make_unique<SimScenario>(Mainframe(fullImage, latencyUs));
        ::unsetenv("ZENTRA_SIM_TRACE");
        CInstrument instrument;
        instrument.SetMessageSink(&messages);
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        const RestoreResult result = RestoreEepromImage(instrument, card, kChannel, image, rows, observer);
        restoring += std::chrono::steady_clock::now() - start;
        state.PauseTiming();
        if (result.outcome != RestoreResult::Outcome::Restored || result.written != written)
            state.SkipWithError("a timed restore did not write the whole difference");
        scenario.reset();
        state.ResumeTiming();
    }
    // The floor: the transactions a restore must make, each waiting out the latency.
    const double floorMs = transactions * latencyUs * 1e-3;
    const double meanMs =
        std::chrono::duration<double, std::milli>(restoring).count() / static_cast<double>(state.iterations());
    state.counters["transactions"] = transactions;
    state.counters["bytes_written"] = written;
    state.counters["floor_ms"] = floorMs;
    state.counters["over_floor_ms"] = meanMs - floorMs;
    state.counters["us_per_transaction"] = meanMs * 1e3 / transactions;
    if (messages.count != 0)
        state.SkipWithError("a message was shown during the timed restores");
}

} // namespace

// Arguments: full image (1) or one-block repair (0), latency in microseconds.
BENCHMARK(BM_Restore)
    ->ArgNames({"full", "latency_us"})
    ->Args({1, 0})
    ->Args({1, 200})
    ->Args({0, 0})
    ->Args({0, 200})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

BENCHMARK_MAIN();
