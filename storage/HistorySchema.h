#pragma once
// The card history's tables, one schema version after another. A store carries its
// version in SQLite's user_version and this program's mark in its application_id;
// a store of a later version than this program knows is never touched.

#include <cstdint>
#include <span>

// "VALD": the application_id of every card history.
inline constexpr std::int32_t kHistoryApplicationId = 0x56414C44;

// Migration i brings a store from version i to version i + 1; version 0 is an
// empty file. The last one's end is the version this program writes.
std::span<const char* const> HistoryMigrations();
inline int HistorySchemaVersion() { return static_cast<int>(HistoryMigrations().size()); }
