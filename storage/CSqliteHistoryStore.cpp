#include "CSqliteHistoryStore.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

#include <SQLiteCpp/SQLiteCpp.h>
#include <SQLiteCpp/VariadicBind.h>
#include <sqlite3.h>

#include "HistoryProblem.h"
#include "HistorySchema.h"
#include "UntrustedFile.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

constexpr std::size_t kHeaderLength = 100;
constexpr char kSqliteMagic[] = "SQLite format 3";   // and its terminating zero

// SQLite takes UTF-8 file names; the program's paths are the system's own code page on Windows.
std::string SqliteFileName(const std::string& path)
{
#ifdef _WIN32
    const int wide = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
    if (wide <= 0)
        return path;
    std::wstring text(static_cast<std::size_t>(wide), L'\0');
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, text.data(), wide);
    const int narrow = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(narrow), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, utf8.data(), narrow, nullptr, nullptr);
    utf8.resize(std::strlen(utf8.c_str()));
    return utf8;
#else
    return path;
#endif
}

std::uint32_t BigEndian(const std::string& bytes, std::size_t at, std::size_t count)
{
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < count; ++i)
        value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

struct HistoryError {
    HistoryFault fault;
    std::string detail;
};

// The file as it lies on disk, judged before SQLite opens it: only a regular file, and
// of those an empty one or one whose header is an SQLite database's, as long as its
// header says.
std::optional<HistoryError> CheckStoreFile(const std::string& path, CSqliteHistoryStore::Mode mode, bool& empty)
{
    const UntrustedRead head = ReadUntrustedFile(path, kHeaderLength, UntrustedLength::Start);
    empty = false;
    switch (head.outcome) {
    case UntrustedRead::Outcome::Read:
        break;
    case UntrustedRead::Outcome::Missing: {
        if (mode == CSqliteHistoryStore::Mode::Read)
            return HistoryError{HistoryFault::Missing, {}};
        std::error_code error;
        const std::filesystem::path folder = std::filesystem::path(path).parent_path();
        if (!folder.empty() && !std::filesystem::is_directory(folder, error))
            return HistoryError{HistoryFault::FolderMissing, folder.string()};
        empty = true;
        return std::nullopt;
    }
    case UntrustedRead::Outcome::NotRegular:
        return HistoryError{HistoryFault::NotAFile, head.kind};
    case UntrustedRead::Outcome::TooLong:
    case UntrustedRead::Outcome::Failed:
        return HistoryError{HistoryFault::Other, UntrustedReadText(head, path, "a card history", "")};
    }
    if (head.size == 0) {
        empty = true;
        return std::nullopt;
    }
    const std::string& bytes = head.bytes;
    if (bytes.compare(0, sizeof kSqliteMagic, std::string(kSqliteMagic, sizeof kSqliteMagic)) != 0)
        return HistoryError{HistoryFault::NotADatabase, {}};
    if (bytes.size() < kHeaderLength)
        return HistoryError{HistoryFault::Truncated, std::to_string(head.size) + " bytes, less than its header"};
    // Page size (1 stands for 65536) times the page count, where the header's count is
    // valid (its change counter matches the version it was valid for).
    std::uint32_t pageSize = BigEndian(bytes, 16, 2);
    if (pageSize == 1)
        pageSize = 65536;
    const std::uint32_t pages = BigEndian(bytes, 28, 4);
    if (pages != 0 && BigEndian(bytes, 24, 4) == BigEndian(bytes, 92, 4)) {
        const std::uintmax_t expected = static_cast<std::uintmax_t>(pageSize) * pages;
        if (head.size < expected)
            return HistoryError{HistoryFault::Truncated,
                                std::to_string(head.size) + " of its " + std::to_string(expected) + " bytes"};
    }
    return std::nullopt;
}

std::optional<std::uint8_t> ByteOrNone(const SQLite::Column& column)
{
    if (column.isNull())
        return std::nullopt;
    return static_cast<std::uint8_t>(column.getInt());
}

} // namespace

CSqliteHistoryStore::CSqliteHistoryStore(const HistoryLocation& location, Options options)
    : m_path(location.path), m_options(options)
{
    if (m_path.empty()) {
        m_problem = m_openProblem = location.problem;
        return;
    }
    if (!OpenFile()) {
        m_db.reset();
        m_openProblem = m_problem;
    }
}

CSqliteHistoryStore::~CSqliteHistoryStore() = default;

void CSqliteHistoryStore::Fail(const std::exception& error)
{
    const auto* sqlite = dynamic_cast<const SQLite::Exception*>(&error);
    const int code = sqlite != nullptr ? sqlite->getExtendedErrorCode() : SQLITE_ERROR;
    const HistoryFault fault = sqlite != nullptr ? FaultOfSqliteCode(code) : HistoryFault::Other;
    std::string detail = error.what();
    if (fault == HistoryFault::Locked)
        detail = "still after " + std::to_string(m_options.busyTimeoutMs / 1000) + "."
            + std::to_string(m_options.busyTimeoutMs % 1000 / 100) + " s";
    m_problem = HistoryProblemText(fault, m_path, detail);
}

bool CSqliteHistoryStore::OpenFile()
{
    if (const auto error = CheckStoreFile(m_path, m_options.mode, m_empty)) {
        m_problem = HistoryProblemText(error->fault, m_path, error->detail);
        return false;
    }
    try {
        int flags = SQLite::OPEN_READWRITE;
        if (m_options.mode == Mode::Record)
            flags |= SQLite::OPEN_CREATE;
        m_db = std::make_unique<SQLite::Database>(SqliteFileName(m_path), flags | SQLITE_OPEN_FULLMUTEX,
                                                  m_options.busyTimeoutMs);
        return Prepare();
    } catch (const std::exception& error) {
        Fail(error);
        return false;
    }
}

// Recognises the file as a card history of a version this program knows, makes a new
// one in an empty file, and brings an older one up to date.
bool CSqliteHistoryStore::Prepare()
{
    SQLite::Database& db = *m_db;
    // The three from one moment: another run may be making the store right now.
    SQLite::Transaction reading(db, SQLite::TransactionBehavior::DEFERRED);
    const auto applicationId = db.execAndGet("PRAGMA application_id").getInt();
    const int version = db.execAndGet("PRAGMA user_version").getInt();
    const int objects = db.execAndGet("SELECT count(*) FROM sqlite_schema").getInt();
    reading.commit();
    const int known = HistorySchemaVersion();
    if (applicationId != kHistoryApplicationId && (applicationId != 0 || objects != 0 || version != 0)) {
        m_problem = HistoryProblemText(HistoryFault::ForeignDatabase, m_path, {});
        return false;
    }
    if (version > known) {
        m_problem = HistoryProblemText(HistoryFault::Newer, m_path,
                                       "schema " + std::to_string(version) + "; this one knows up to "
                                           + std::to_string(known));
        return false;
    }
    if (version == 0 && m_options.mode == Mode::Read) {
        m_empty = true;   // nothing recorded yet, and reading makes nothing
        return true;
    }
    m_empty = false;
    if (db.execAndGet("PRAGMA journal_mode").getString() != "wal")
        db.execAndGet("PRAGMA journal_mode=WAL");
    // Every commit reaches the disk before the program goes on: a write's record is
    // there before its first byte goes out.
    db.exec("PRAGMA synchronous=FULL; PRAGMA foreign_keys=ON");
    if (version == known)
        return true;
    // Another run may be making or migrating the same store: the version is read
    // again under the write lock.
    SQLite::Transaction transaction(db, SQLite::TransactionBehavior::IMMEDIATE);
    int current = db.execAndGet("PRAGMA user_version").getInt();
    if (current > known) {
        m_problem = HistoryProblemText(HistoryFault::Newer, m_path,
                                       "schema " + std::to_string(current) + "; this one knows up to "
                                           + std::to_string(known));
        return false;
    }
    for (; current < known; ++current)
        db.exec(HistoryMigrations()[static_cast<std::size_t>(current)]);
    db.exec("PRAGMA application_id=" + std::to_string(kHistoryApplicationId) + "; PRAGMA user_version="
            + std::to_string(known));
    transaction.commit();
    return true;
}

template <class Work> bool CSqliteHistoryStore::Transact(Work&& work)
{
    if (!m_db) {
        m_problem = m_openProblem;
        return false;
    }
    try {
        SQLite::Transaction transaction(*m_db, SQLite::TransactionBehavior::IMMEDIATE);
        work(*m_db);
        transaction.commit();
        m_problem.clear();
        return true;
    } catch (const std::exception& error) {
        Fail(error);
        return false;
    }
}

namespace {

std::int64_t InsertRun(SQLite::Database& db, const RunStart& run)
{
    SQLite::Statement insert(db, "INSERT INTO runs (started, station, operator, program, command, board, address) "
                                 "VALUES (?, ?, ?, ?, ?, ?, ?)");
    SQLite::bind(insert, run.started, run.station, run.operatorName, run.program, run.command, run.board, run.address);
    insert.exec();
    return db.getLastInsertRowid();
}

} // namespace

std::int64_t CSqliteHistoryStore::BeginRun(const RunStart& run)
{
    std::int64_t id = 0;
    return Transact([&](SQLite::Database& db) { id = InsertRun(db, run); }) ? id : 0;
}

bool CSqliteHistoryStore::EndRun(std::int64_t run, const RunStart& start, const RunEnd& end,
                                 const std::vector<CardResult>& cards)
{
    return Transact([&](SQLite::Database& db) {
        const std::int64_t id = run != 0 ? run : InsertRun(db, start);
        SQLite::Statement ended(db, "UPDATE runs SET ended = ?, outcome = ? WHERE id = ?");
        SQLite::bind(ended, end.ended, end.outcome, id);
        ended.exec();
        SQLite::Statement insert(db, "INSERT INTO card_results (run, channel, serial, model, state, error, blocks) "
                                     "VALUES (?, ?, ?, ?, ?, ?, ?)");
        for (const CardResult& card : cards) {
            insert.reset();
            SQLite::bind(insert, id, card.channel, card.serial, card.model, card.state, card.error, card.blocks);
            insert.exec();
        }
    });
}

std::int64_t CSqliteHistoryStore::BeginWrite(std::int64_t run, const WriteStart& write)
{
    std::int64_t id = 0;
    const bool recorded = Transact([&](SQLite::Database& db) {
        SQLite::Statement insert(db, "INSERT INTO writes (run, at, channel, serial, kind, image_file, image_sha256) "
                                     "VALUES (?, ?, ?, ?, ?, ?, ?)");
        SQLite::bind(insert, run, write.at, write.channel, write.serial, write.kind, write.imageFile,
                     write.imageSha256);
        insert.exec();
        id = db.getLastInsertRowid();
        SQLite::Statement byte(db, "INSERT INTO written_bytes (write, address, before, written) VALUES (?, ?, ?, ?)");
        for (const ByteWrite& planned : write.bytes) {
            byte.reset();
            SQLite::bind(byte, id, planned.address, planned.before, planned.written);
            byte.exec();
        }
    });
    return recorded ? id : 0;
}

bool CSqliteHistoryStore::EndWrite(std::int64_t write, const WriteEnd& end)
{
    return Transact([&](SQLite::Database& db) {
        SQLite::Statement outcome(db, "UPDATE writes SET outcome = ? WHERE id = ?");
        SQLite::bind(outcome, end.outcome, write);
        outcome.exec();
        SQLite::Statement byte(db, "UPDATE written_bytes SET read_back = ? WHERE write = ? AND address = ?");
        for (const ByteWrite& done : end.bytes) {
            if (!done.readBack)
                continue;
            byte.reset();
            SQLite::bind(byte, *done.readBack, write, done.address);
            byte.exec();
        }
    });
}

bool CSqliteHistoryStore::RecordSavedImage(std::int64_t run, const SavedImage& image)
{
    return Transact([&](SQLite::Database& db) {
        SQLite::Statement insert(db, "INSERT INTO saved_images (run, at, channel, serial, file, sha256) "
                                     "VALUES (?, ?, ?, ?, ?, ?)");
        SQLite::bind(insert, run, image.at, image.channel, image.serial, image.file, image.sha256);
        insert.exec();
    });
}

namespace {

// The card's rows of one kind: `which` selects by serial or by channel, `since` by time.
std::string Matching(const HistoryQuery& query, const char* table, const char* time)
{
    std::string where = std::string(" WHERE ") + table + (query.serial ? ".serial = :card" : ".channel = :card");
    if (!query.since.empty())
        where += std::string(" AND ") + time + " >= :since";
    return where;
}

void BindCard(SQLite::Statement& statement, const HistoryQuery& query)
{
    if (query.serial)
        statement.bind(":card", *query.serial);
    else
        statement.bind(":card", query.channel.value_or(0));
    if (!query.since.empty())
        statement.bind(":since", query.since);
}

void ReadRun(const SQLite::Statement& row, HistoryEntry& entry, int first)
{
    entry.station = row.getColumn(first).getString();
    entry.operatorName = row.getColumn(first + 1).getString();
    entry.command = row.getColumn(first + 2).getString();
    entry.runOutcome = row.getColumn(first + 3).getString();
}

constexpr const char* kRunColumns = "runs.station, runs.operator, runs.command, runs.outcome";

} // namespace

std::optional<std::vector<HistoryEntry>> CSqliteHistoryStore::Query(const HistoryQuery& query)
{
    if (!m_db) {
        m_problem = m_openProblem;
        return std::nullopt;
    }
    std::vector<HistoryEntry> entries;
    if (m_empty)
        return entries;
    try {
        // One read transaction, so the three kinds come from the same moment.
        SQLite::Transaction transaction(*m_db, SQLite::TransactionBehavior::DEFERRED);
        if (!query.writesOnly) {
            SQLite::Statement runs(*m_db, std::string("SELECT coalesce(runs.ended, runs.started), card_results.channel, card_results.serial, "
                                                      "card_results.model, card_results.state, card_results.error, "
                                                      "card_results.blocks, ")
                                              + kRunColumns
                                              + " FROM card_results JOIN runs ON runs.id = card_results.run"
                                              + Matching(query, "card_results", "coalesce(runs.ended, runs.started)")
                                              + " ORDER BY card_results.run DESC");
            BindCard(runs, query);
            while (runs.executeStep()) {
                HistoryEntry& entry = entries.emplace_back();
                entry.kind = HistoryEntry::Kind::Run;
                entry.when = runs.getColumn(0).getString();
                entry.channel = runs.getColumn(1).getInt();
                entry.serial = runs.getColumn(2).getString();
                entry.model = runs.getColumn(3).getString();
                entry.state = runs.getColumn(4).getInt();
                entry.error = runs.getColumn(5).getString();
                entry.blocks = runs.getColumn(6).getString();
                ReadRun(runs, entry, 7);
            }
            SQLite::Statement saves(*m_db, std::string("SELECT saved_images.at, saved_images.channel, saved_images.serial, "
                                                       "saved_images.file, saved_images.sha256, ")
                                               + kRunColumns
                                               + " FROM saved_images JOIN runs ON runs.id = saved_images.run"
                                               + Matching(query, "saved_images", "saved_images.at")
                                               + " ORDER BY saved_images.rowid DESC");
            BindCard(saves, query);
            while (saves.executeStep()) {
                HistoryEntry& entry = entries.emplace_back();
                entry.kind = HistoryEntry::Kind::Save;
                entry.when = saves.getColumn(0).getString();
                entry.channel = saves.getColumn(1).getInt();
                entry.serial = saves.getColumn(2).getString();
                entry.file = saves.getColumn(3).getString();
                entry.sha256 = saves.getColumn(4).getString();
                ReadRun(saves, entry, 5);
            }
        }
        SQLite::Statement writes(*m_db, std::string("SELECT writes.at, writes.channel, writes.serial, writes.kind, "
                                                    "writes.image_file, writes.image_sha256, writes.outcome, "
                                                    "written_bytes.address, written_bytes.before, "
                                                    "written_bytes.written, written_bytes.read_back, ")
                                            + kRunColumns
                                            + " FROM writes JOIN runs ON runs.id = writes.run"
                                              " JOIN written_bytes ON written_bytes.write = writes.id"
                                            + Matching(query, "writes", "writes.at")
                                            + " ORDER BY writes.id DESC, written_bytes.address");
        BindCard(writes, query);
        while (writes.executeStep()) {
            HistoryEntry& entry = entries.emplace_back();
            entry.kind = HistoryEntry::Kind::Write;
            entry.when = writes.getColumn(0).getString();
            entry.channel = writes.getColumn(1).getInt();
            entry.serial = writes.getColumn(2).getString();
            entry.writeKind = writes.getColumn(3).getString();
            entry.file = writes.getColumn(4).getString();
            entry.sha256 = writes.getColumn(5).getString();
            entry.writeOutcome = writes.getColumn(6).getString();
            entry.byte.address = static_cast<std::uint16_t>(writes.getColumn(7).getInt());
            entry.byte.before = static_cast<std::uint8_t>(writes.getColumn(8).getInt());
            entry.byte.written = static_cast<std::uint8_t>(writes.getColumn(9).getInt());
            entry.byte.readBack = ByteOrNone(writes.getColumn(10));
            ReadRun(writes, entry, 11);
        }
    } catch (const std::exception& error) {
        Fail(error);
        return std::nullopt;
    }
    // Newest first; each kind came newest first already (a write's bytes by address).
    std::stable_sort(entries.begin(), entries.end(),
                     [](const HistoryEntry& a, const HistoryEntry& b) { return a.when > b.when; });
    m_problem.clear();
    return entries;
}
