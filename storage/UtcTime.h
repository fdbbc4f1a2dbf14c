#pragma once
// The card history's times: UTC as text, "2026-12-08T07:49:12.123456Z", which sorts as it
// reads and depends on no locale.

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

std::string UtcText(std::chrono::system_clock::time_point when);
std::string UtcNow();
// A date as the operator gives it for --since, in UTC: "2026-12-01", "2026-12-01T08:30",
// "2026-12-01 08:30:15", each with an optional "Z". None when it is no such date.
std::optional<std::string> ParseUtcSince(std::string_view text);
