#include "HistoryProblem.h"

#include <sqlite3.h>

HistoryFault FaultOfSqliteCode(int code)
{
    switch (code & 0xFF) {
    case SQLITE_NOTADB:
        return HistoryFault::NotADatabase;
    case SQLITE_CORRUPT:
        return HistoryFault::Damaged;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return HistoryFault::Locked;
    case SQLITE_READONLY:
    case SQLITE_PERM:
        return HistoryFault::ReadOnly;
    case SQLITE_FULL:
        return HistoryFault::Full;
    default:
        return HistoryFault::Other;
    }
}

std::string HistoryProblemText(HistoryFault fault, const std::string& path, const std::string& detail)
{
    const std::string store = "The card history " + path;
    const std::string kept = " It was left as it is: ";
    const std::string another = "name another file with --history or VALDINA_HISTORY";
    switch (fault) {
    case HistoryFault::Missing:
        return store + " does not exist: nothing has been recorded there yet.";
    case HistoryFault::FolderMissing:
        return store + " cannot be made: the folder " + detail + " does not exist. Create it, or " + another + ".";
    case HistoryFault::NotAFile:
        return store + " is " + detail + ", not a file. Name another file with --history or VALDINA_HISTORY.";
    case HistoryFault::NotADatabase:
        return store + " is not an SQLite database." + kept + "move it away to start a new history, or " + another
            + ".";
    case HistoryFault::Truncated:
        return store + " is truncated (" + detail + ")." + kept
            + "put back a copy from a backup, or move it away to start a new history.";
    case HistoryFault::Damaged:
        return store + " is damaged (" + detail + ")." + kept
            + "put back a copy from a backup, or move it away to start a new history.";
    case HistoryFault::ForeignDatabase:
        return path + " is an SQLite database of another program, not a card history." + kept + another + ".";
    case HistoryFault::Newer:
        return store + " was written by a later version of this program (" + detail + ")." + kept
            + "use that version, or " + another + ".";
    case HistoryFault::Locked:
        return store + " is locked by another program (" + detail + "). Close that program or try again.";
    case HistoryFault::ReadOnly:
        return store + " cannot be written (" + detail + "). Make it and its folder writable for this user, or "
            + another + ".";
    case HistoryFault::Full:
        return store + " cannot grow: the disk is full. Free some space, or " + another + ".";
    case HistoryFault::Other:
        break;
    }
    return store + " cannot be used (" + detail + ").";
}
