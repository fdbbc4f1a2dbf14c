#pragma once
// The card history in one SQLite file on the station's disk: WAL mode and a busy
// timeout, so the window and any number of command-line runs record at once; every
// write's record synced before its first byte goes out.
//
// The file is the operator's: one that is not a card history (another program's
// database, not a database at all, truncated, damaged) or one of a later version
// is never written, and every call says why in one sentence.

#include <cstdint>
#include <memory>
#include <string>

#include "HistoryLocation.h"
#include "IHistoryStore.h"

namespace SQLite {
class Database;
}

class CSqliteHistoryStore final : public IHistoryStore {
public:
    enum class Mode {
        Record,   // makes the file (not its folder) when it is missing
        Read,     // only reads; a missing file is a problem
    };
    struct Options {
        Mode mode = Mode::Record;
        int busyTimeoutMs = 5000;   // how long a locked store is waited for
    };

    // Opens the store at `location` now; a store that cannot be opened (or a
    // location without a path) answers every call with why.
    CSqliteHistoryStore(const HistoryLocation& location, Options options);
    ~CSqliteHistoryStore() override;

    std::string Where() const override { return m_path; }
    const std::string& Problem() const override { return m_problem; }
    // Whether the store opened; false: Problem() says why.
    bool Open() const { return m_db != nullptr; }

    std::int64_t BeginRun(const RunStart& run) override;
    bool EndRun(std::int64_t run, const RunStart& start, const RunEnd& end,
                const std::vector<CardResult>& cards) override;
    std::int64_t BeginWrite(std::int64_t run, const WriteStart& write) override;
    bool EndWrite(std::int64_t write, const WriteEnd& end) override;
    bool RecordSavedImage(std::int64_t run, const SavedImage& image) override;
    std::optional<std::vector<HistoryEntry>> Query(const HistoryQuery& query) override;

private:
    bool OpenFile();
    bool Prepare();
    // Runs `work` in one transaction; false with the problem said.
    template <class Work> bool Transact(Work&& work);
    void Fail(const std::exception& error);

    std::string m_path;
    Options m_options;
    std::unique_ptr<SQLite::Database> m_db;
    std::string m_problem;
    std::string m_openProblem;
    bool m_empty = false;   // Read: a file that holds no history yet
};
