// SQLite and SQLiteCpp as this build links them: Debian's on Linux, built from
// Debian's source packages for Windows (scripts/build-windows-sqlite). A store
// file in WAL mode, written by one connection and read by a second while the
// first stays open, under a plain name and under a UTF-8 name.

#include <gtest/gtest.h>

#include <SQLiteCpp/SQLiteCpp.h>
#include <sqlite3.h>

#include <filesystem>
#include <string>

#include "../cli/TempFolder.h"

TEST(SqliteBuild, HeaderMatchesTheLinkedLibrary)
{
    EXPECT_STREQ(sqlite3_libversion(), SQLITE_VERSION);
    EXPECT_STREQ(sqlite3_sourceid(), SQLITE_SOURCE_ID);
}

TEST(SqliteBuild, WalStoreKeepsARowForASecondConnection)
{
    const char* const names[] = {"history.sqlite", "Pr\xc3\xbc" "fplatz \xc3\xa9t\xc3\xa9.sqlite"};
    for (const char* name : names) {
        SCOPED_TRACE(name);
        TempFolder folder;
        const std::filesystem::path file = folder.path() / std::u8string(reinterpret_cast<const char8_t*>(name));
        const std::string path = folder.path().string() + "/" + name;
        {
            SQLite::Database writer(path, SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
            EXPECT_EQ(writer.execAndGet("PRAGMA journal_mode=WAL").getString(), "wal");
            writer.exec("CREATE TABLE card(serial TEXT NOT NULL, state TEXT NOT NULL)");
            SQLite::Statement insert(writer, "INSERT INTO card VALUES(?, ?)");
            insert.bind(1, "21000024");
            insert.bind(2, "Good");
            EXPECT_EQ(insert.exec(), 1);
            // The row lives in the write-ahead log until a checkpoint.
            std::filesystem::path wal = file;
            EXPECT_TRUE(std::filesystem::exists(wal += "-wal"));

            SQLite::Database reader(path, SQLite::OPEN_READONLY);
            EXPECT_EQ(reader.execAndGet("SELECT state FROM card WHERE serial = '21000024'").getString(), "Good");
        }
        EXPECT_TRUE(std::filesystem::exists(file)) << "the store is not where its UTF-8 name says";
        SQLite::Database again(path, SQLite::OPEN_READONLY);
        EXPECT_EQ(again.execAndGet("PRAGMA journal_mode").getString(), "wal");
        EXPECT_EQ(again.execAndGet("SELECT count(*) FROM card").getInt(), 1);
    }
}
