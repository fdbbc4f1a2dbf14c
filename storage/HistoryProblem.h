#pragma once
// What can keep the card history from being used, and the one sentence that names
// the store and what to do about it.

#include <string>

enum class HistoryFault {
    Missing,         // reading a store that was never made
    FolderMissing,   // recording into a folder that does not exist
    NotAFile,        // a folder, a FIFO, a device
    NotADatabase,
    Truncated,
    Damaged,
    ForeignDatabase, // an SQLite database of another program
    Newer,           // a card history of a later version
    Locked,
    ReadOnly,
    Full,
    Other,
};

// The fault behind an SQLite result code (primary or extended).
HistoryFault FaultOfSqliteCode(int code);
// `detail` completes the sentence where the fault needs it: the kind of file, the
// lengths, the versions, SQLite's own words.
std::string HistoryProblemText(HistoryFault fault, const std::string& path, const std::string& detail);
