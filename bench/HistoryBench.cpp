// The card history: what recording a 256-card verify pass costs beside the pass at
// 200 us a transaction, how fast `history SERIAL` answers from a store of a million
// card results, and how much a 256-card run adds to the store's file.

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <string>

#include <SQLiteCpp/SQLiteCpp.h>
#include <nlohmann/json.hpp>

#include "CHistoryRun.h"
#include "CSqliteHistoryStore.h"
#include "IPassObserver.h"
#include "VerifiedMainframe.h"

namespace fs = std::filesystem;

namespace {

constexpr int kCards = 256;
constexpr double kLatencySeconds = 200e-6;
constexpr int kMillionRuns = 1'000'000 / kCards + 1;   // 3,907 runs of 256 cards

fs::path BenchFolder()
{
    const fs::path folder = fs::temp_directory_path() / "valdina-history-bench";
    fs::create_directories(folder);
    return folder;
}

// The recording of one 256-card verify run: its cards noted by the pass's observer,
// then the run and its cards in one transaction, synced to the disk.
void BM_RecordVerifyRun(benchmark::State& state)
{
    VerifiedMainframe mainframe(kCards);
    if (!mainframe.Usable(state))
        return;
    const fs::path path = BenchFolder() / "record.sqlite";
    fs::remove(path);
    std::chrono::steady_clock::duration recording{};
    {
        CSqliteHistoryStore store(HistoryLocation{path.string(), true, {}}, {});
        for (auto _ : state) {
            const auto start = std::chrono::steady_clock::now();
            CHistoryRun run(&store, mainframe.instrument, "bench", "verify", mainframe.messages);
            IPassObserver& watch = run.Watch(mainframe.observer);
            for (int channel = 0; channel < kCards; ++channel)
                watch.ChannelDone(PassKind::Verify, channel + 1, kCards, channel, StatusGood);
            run.End("done", mainframe.channels);
            recording += std::chrono::steady_clock::now() - start;
        }
        if (mainframe.messages.count != 0)
            state.SkipWithError(store.Problem().c_str());
    }
    const double runs = static_cast<double>(state.iterations());
    const double pass = mainframe.transactions * kLatencySeconds;
    state.counters["pass_transactions"] = mainframe.transactions;
    state.counters["pass_s_at_200us"] = pass;
    // The share of the pass that recording its run adds, in percent.
    state.counters["added_percent"] = 100.0 * std::chrono::duration<double>(recording).count() / runs / pass;
    // The store closed (its log checkpointed into the file): its size per run.
    state.counters["store_kib_per_run"] = static_cast<double>(fs::file_size(path)) / 1024.0 / runs;
}

// A store of a million card results: 3,907 verify runs of 256 cards, made once
// (the store's own schema, filled in one transaction) and kept for later runs.
fs::path MillionResultStore()
{
    const fs::path path = BenchFolder() / "million.sqlite";
    {
        CSqliteHistoryStore store(HistoryLocation{path.string(), true, {}}, {});
        const auto entries = store.Query({std::string("21000000"), {}, {}, false});
        if (entries && entries->size() == static_cast<std::size_t>(kMillionRuns))
            return path;
    }
    fs::remove(path);
    fs::remove(path.string() + "-wal");
    fs::remove(path.string() + "-shm");
    { CSqliteHistoryStore make(HistoryLocation{path.string(), true, {}}, {}); }
    SQLite::Database db(path.string(), SQLite::OPEN_READWRITE);
    db.exec("PRAGMA synchronous=OFF");
    SQLite::Transaction transaction(db);
    SQLite::Statement run(db, "INSERT INTO runs (started, ended, station, operator, program, command, board, address,"
                              " outcome) VALUES (?, ?, 'bench-3', 'anna', 'valdina-cli', 'verify', 0, 29, 'done')");
    SQLite::Statement card(db, "INSERT INTO card_results (run, channel, serial, model, state, error, blocks)"
                               " VALUES (?, ?, ?, 'T210', ?, ?, ?)");
    for (int r = 0; r < kMillionRuns; ++r) {
        char when[40];
        std::snprintf(when, sizeof when, "2026-%02d-%02dT%02d:00:00.000000Z", 1 + r / 400, 1 + (r / 16) % 25, r % 16);
        run.reset();
        run.bind(1, when);
        run.bind(2, when);
        run.exec();
        const std::int64_t id = db.getLastInsertRowid();
        for (int channel = 0; channel < kCards; ++channel) {
            card.reset();
            card.bind(1, id);
            card.bind(2, channel);
            card.bind(3, std::to_string(21000000 + channel));
            const bool fail = (r + channel) % 97 == 0;
            card.bind(4, fail ? StatusFail : StatusGood);
            card.bind(5, fail ? "invalid checksum (gain)" : "");
            card.bind(6, fail ? "Header ok, gain bad, filter ok, Rcal ok, Vexc ok, Iexc ok, Xmon ok"
                              : "Header ok, gain ok, filter ok, Rcal ok, Vexc ok, Iexc ok, Xmon ok");
            card.exec();
        }
    }
    transaction.commit();
    return path;
}

// `history SERIAL`'s question: every run that saw the card (3,907 of them) and its
// writes, newest first, from a store opened for reading as the command opens it.
void BM_HistoryOfOneSerial(benchmark::State& state)
{
    const fs::path path = MillionResultStore();
    std::size_t entries = 0;
    for (auto _ : state) {
        CSqliteHistoryStore store(HistoryLocation{path.string(), true, {}}, {CSqliteHistoryStore::Mode::Read, 5000});
        const auto found = store.Query({std::string("21000037"), {}, {}, false});
        if (!found) {
            state.SkipWithError(store.Problem().c_str());
            return;
        }
        entries = found->size();
    }
    state.counters["entries"] = static_cast<double>(entries);
    state.counters["store_card_results"] = static_cast<double>(kMillionRuns) * kCards;
    state.counters["store_mib"] = static_cast<double>(fs::file_size(path)) / (1024.0 * 1024.0);
}

} // namespace

BENCHMARK(BM_RecordVerifyRun)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HistoryOfOneSerial)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
