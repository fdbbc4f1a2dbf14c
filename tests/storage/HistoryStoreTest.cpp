// The card history in a real SQLite file: what it keeps and how it answers, and
// every file it must refuse without touching.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

#include <sqlite3.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "../cli/TempFolder.h"
#include "CSqliteHistoryStore.h"
#include "ChannelStatus.h"
#include "HistoryFormat.h"
#include "HistorySchema.h"

namespace fs = std::filesystem;

namespace {

CSqliteHistoryStore Open(const fs::path& path, CSqliteHistoryStore::Mode mode = CSqliteHistoryStore::Mode::Record,
                         int timeoutMs = 5000)
{
    return CSqliteHistoryStore(HistoryLocation{path.string(), true, {}}, {mode, timeoutMs});
}

RunStart StartOf(const std::string& started, const std::string& command)
{
    return {started, "bench-3", "anna", "valdina-cli test", command, 0, 29};
}

CardResult Card(int channel, const std::string& serial, std::int32_t state, const std::string& error = {})
{
    return {channel, serial, "T210", state, error, state == StatusGood ? "Header ok" : ""};
}

// A store with `runs` verify runs of three cards each, closed again.
void Fill(const fs::path& path, int runs)
{
    CSqliteHistoryStore store = Open(path);
    ASSERT_TRUE(store.Open()) << store.Problem();
    for (int i = 0; i < runs; ++i) {
        ASSERT_TRUE(store.EndRun(0, StartOf("2026-12-01T08:00:00.000Z", "verify"), {"2026-12-01T08:00:01.000Z", "done"},
                                 {Card(5, "21000005", StatusGood), Card(6, "21000006", StatusFail, "gain invalid"),
                                  Card(7, "21000007", StatusGood)}))
            << store.Problem();
    }
}

// Runs one SQL text on the file with SQLite itself, as another program would.
void Sql(const fs::path& path, const char* sql)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.string().c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
}

} // namespace

TEST(HistoryStore, KeepsRunsWritesAndSavesAndAnswersNewestFirst)
{
    TempFolder folder;
    const fs::path path = folder.path() / "history.sqlite";
    {
        CSqliteHistoryStore store = Open(path);
        ASSERT_TRUE(store.Open()) << store.Problem();
        ASSERT_TRUE(store.EndRun(0, StartOf("2026-12-01T08:00:00.000Z", "verify"), {"2026-12-01T08:00:09.000Z", "done"},
                                 {Card(5, "21000005", StatusGood), Card(6, "21000006", StatusGood)}));
        const std::int64_t run = store.BeginRun(StartOf("2026-12-02T09:00:00.000Z", "restore 5 card.bin"));
        ASSERT_NE(run, 0) << store.Problem();
        WriteStart write{"2026-12-02T09:00:01.000Z", 5, "21000005", "restore", "card.bin", "ab12", {}};
        write.bytes = {{0x30, 0x93, 0x12, std::nullopt}, {0x31, 0x00, 0x01, std::nullopt}};
        const std::int64_t id = store.BeginWrite(run, write);
        ASSERT_NE(id, 0) << store.Problem();
        // Only the first byte went out before the stop.
        ASSERT_TRUE(store.EndWrite(id, {"restore failed: 1 of 2 bytes written",
                                        {{0x30, 0x93, 0x12, 0x12}, {0x31, 0x00, 0x01, std::nullopt}}}));
        ASSERT_TRUE(store.RecordSavedImage(run, {"2026-12-02T09:00:05.000Z", 5, "21000005", "old.bin", "cd34"}));
        ASSERT_TRUE(store.EndRun(run, {}, {"2026-12-02T09:00:06.000Z", "failed"},
                                 {Card(5, "21000005", StatusUnknown, "restore failed: 1 of 2 bytes written")}));
    }
    CSqliteHistoryStore store = Open(path, CSqliteHistoryStore::Mode::Read);
    const auto entries = store.Query({std::string("21000005"), {}, {}, false});
    ASSERT_TRUE(entries) << store.Problem();
    std::vector<std::string> lines;
    for (const HistoryEntry& e : *entries)
        lines.push_back(e.when + " " + HistoryEntrySummary(e) + " [" + e.station + " " + e.operatorName + "]");
    // A run stands at its end, when its verdicts were earned.
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "2026-12-02T09:00:06.000Z unknown: restore failed: 1 of 2 bytes written [bench-3 anna]",
                         "2026-12-02T09:00:05.000Z image saved to old.bin (SHA-256 cd34) [bench-3 anna]",
                         "2026-12-02T09:00:01.000Z restore from card.bin 0x0030: 0x93 -> 0x12, read back 0x12 "
                         "(restore failed: 1 of 2 bytes written) [bench-3 anna]",
                         "2026-12-02T09:00:01.000Z restore from card.bin 0x0031: 0x00 -> 0x01, not written "
                         "(restore failed: 1 of 2 bytes written) [bench-3 anna]",
                         "2026-12-01T08:00:09.000Z Good [bench-3 anna]"}));

    // By channel, since a time, writes only: the questions narrow the same entries.
    EXPECT_EQ(store.Query({{}, 6, {}, false})->size(), 1u);
    EXPECT_EQ(store.Query({std::string("21000005"), {}, "2026-12-02T09:00:05.000Z", false})->size(), 2u);
    EXPECT_EQ(store.Query({std::string("21000005"), {}, {}, true})->size(), 2u);
    EXPECT_TRUE(store.Query({std::string("99999999"), {}, {}, false})->empty());
}

TEST(HistoryStore, TwoConnectionsRecordAtOnce)
{
    TempFolder folder;
    const fs::path path = folder.path() / "history.sqlite";
    constexpr int kRuns = 40;
    const auto record = [&](const std::string& serial) {
        CSqliteHistoryStore store = Open(path);
        for (int i = 0; i < kRuns; ++i)
            EXPECT_TRUE(store.EndRun(0, StartOf("2026-12-01T08:00:00.000Z", "verify"), {"2026-12-01T08:00:01.000Z", "done"},
                                     {Card(1, serial, StatusGood)}))
                << store.Problem();
    };
    std::thread first(record, "21000001");
    std::thread second(record, "21000002");
    first.join();
    second.join();
    CSqliteHistoryStore store = Open(path, CSqliteHistoryStore::Mode::Read);
    EXPECT_EQ(store.Query({std::string("21000001"), {}, {}, false})->size(), static_cast<std::size_t>(kRuns));
    EXPECT_EQ(store.Query({std::string("21000002"), {}, {}, false})->size(), static_cast<std::size_t>(kRuns));
}

// Each file the store must not use: the sentence names it and what to do, every
// call fails alike, and the file is left byte for byte as it was.
TEST(HistoryStore, StoresThatCannotBeUsedAreNamedAndLeftAsTheyAre)
{
    struct Row {
        const char* name;
        std::function<void(const fs::path&)> make;   // makes `path` into the bad store
        const char* says;
        CSqliteHistoryStore::Mode mode = CSqliteHistoryStore::Mode::Record;
    };
    const std::vector<Row> rows = {
        {"not a database", [](const fs::path& p) { std::ofstream(p) << "SN,Rack,Slot\n21000005,0,5\n"; },
         "is not an SQLite database. It was left as it is"},
        {"truncated",
         [](const fs::path& p) {
             Fill(p, 400);
             fs::resize_file(p, fs::file_size(p) / 2);
         },
         "is truncated ("},
        {"header cut short",
         [](const fs::path& p) {
             Fill(p, 1);
             fs::resize_file(p, 40);
         },
         "is truncated (40 bytes, less than its header)"},
        {"damaged",
         [](const fs::path& p) {
             Fill(p, 400);
             std::fstream file(p, std::ios::in | std::ios::out | std::ios::binary);
             file.seekp(4096);
             const std::string garbage(fs::file_size(p) - 4096, '\xA5');
             file.write(garbage.data(), static_cast<std::streamsize>(garbage.size()));
         },
         "is damaged ("},
        {"a later version",
         [](const fs::path& p) {
             Fill(p, 1);
             Sql(p, "PRAGMA user_version=99");
         },
         "was written by a later version of this program (schema 99; this one knows up to 1)"},
        {"another program's database", [](const fs::path& p) { Sql(p, "CREATE TABLE parts (id INTEGER)"); },
         "is an SQLite database of another program, not a card history."},
        {"a folder", [](const fs::path& p) { fs::create_directory(p); }, "is a folder, not a file."},
        {"a missing folder", [](const fs::path&) {}, "cannot be made: the folder "},
        {"never made, for reading", [](const fs::path&) {}, "does not exist: nothing has been recorded there yet.",
         CSqliteHistoryStore::Mode::Read},
#ifndef _WIN32
        {"a FIFO", [](const fs::path& p) { ASSERT_EQ(mkfifo(p.c_str(), 0600), 0); }, "is a FIFO (named pipe), not a file."},
#endif
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TempFolder folder;
        const fs::path path = std::string(row.name) == "a missing folder" ? folder.path() / "gone" / "history.sqlite"
                                                                          : folder.path() / "history.sqlite";
        row.make(path);
        const bool regular = fs::is_regular_file(path);
        const std::string before = regular ? ReadFile(path) : std::string();

        CSqliteHistoryStore store = Open(path, row.mode);
        std::vector<std::string> problems;
        if (row.mode == CSqliteHistoryStore::Mode::Record) {
            problems.push_back(store.EndRun(0, StartOf("2026-12-03T08:00:00.000Z", "verify"), {"x", "done"},
                                            {Card(5, "21000005", StatusGood)})
                                   ? ""
                                   : store.Problem());
            problems.push_back(store.BeginWrite(0, {}) == 0 ? store.Problem() : "");
        }
        problems.push_back(store.Query({std::string("21000005"), {}, {}, false}) ? "" : store.Problem());
        for (const std::string& problem : problems) {
            EXPECT_NE(problem.find(path.string()), std::string::npos) << problem;
            EXPECT_NE(problem.find(row.says), std::string::npos) << problem;
        }
        if (regular) {
            EXPECT_TRUE(ReadFile(path) == before) << "the file was changed";
        } else if (std::string(row.name) != "a folder" && std::string(row.name) != "a FIFO") {
            EXPECT_FALSE(fs::exists(path));
        }
    }
}

TEST(HistoryStore, AStoreLockedByAnotherProgramIsWaitedForThenNamed)
{
    TempFolder folder;
    const fs::path path = folder.path() / "history.sqlite";
    Fill(path, 1);
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(path.string().c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE", nullptr, nullptr, nullptr),
              SQLITE_OK);
    {
        CSqliteHistoryStore store = Open(path, CSqliteHistoryStore::Mode::Record, 200);
        EXPECT_FALSE(store.EndRun(0, StartOf("2026-12-03T08:00:00.000Z", "verify"), {"x", "done"}, {}));
        EXPECT_NE(store.Problem().find(path.string() + " is locked by another program (still after 0.2 s)"),
                  std::string::npos)
            << store.Problem();
    }
    sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    // Once the other program lets go, the same store records again.
    CSqliteHistoryStore store = Open(path);
    EXPECT_TRUE(store.EndRun(0, StartOf("2026-12-03T08:00:00.000Z", "verify"), {"x", "done"}, {})) << store.Problem();
}

TEST(HistoryStore, FormatsKeepTheirFieldsWhateverTheyHold)
{
    HistoryEntry write;
    write.kind = HistoryEntry::Kind::Write;
    write.when = "2026-12-02T09:00:01.000Z";
    write.station = "bench, \"3\"";
    write.command = "poke 5 0x30 0x12";
    write.channel = 5;
    write.serial = "21000005";
    write.writeKind = "poke";
    write.byte = {0x30, 0x93, 0x12, 0x12};
    write.writeOutcome = "written";
    const std::string csv = FormatHistoryCsv({write});
    EXPECT_NE(csv.find("\r\n2026-12-02T09:00:01.000Z,write,\"bench, \"\"3\"\"\",,poke 5 0x30 0x12,,5,21000005,,,,,poke,48,147,18,18,written,,\r\n"),
              std::string::npos)
        << csv;
    const std::string json = FormatHistoryJson({write});
    EXPECT_NE(json.find("\"address\": 48,\n    \"before\": 147,\n    \"written\": 18,\n    \"readBack\": 18"),
              std::string::npos)
        << json;
}
