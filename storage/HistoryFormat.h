#pragma once
// A card's history as both front ends give it: a table for the terminal, CSV for a
// spreadsheet (the window's export too), JSON for a script. States go by their texts,
// addresses and bytes as numbers in JSON and CSV.

#include <string>
#include <vector>

#include "HistoryRecords.h"

// "run", "write", "save"
const char* HistoryKindText(HistoryEntry::Kind kind);
// What the entry says of the card in a line: "Good", "Fail: ...", "poke 0x0012: 0x5A -> 0xFF, read back 0xFF".
std::string HistoryEntrySummary(const HistoryEntry& entry);

std::string FormatHistoryText(const std::vector<HistoryEntry>& entries);
// RFC 4180, CR LF line ends, a header line.
std::string FormatHistoryCsv(const std::vector<HistoryEntry>& entries);
std::string FormatHistoryJson(const std::vector<HistoryEntry>& entries);
