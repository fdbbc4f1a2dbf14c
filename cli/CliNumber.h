#pragma once
// Numbers on the command line: decimal or 0x hexadecimal, nothing else. The value
// itself comes from the system's number rule; this only refuses the forms that
// rule would read silently (octal, trailing junk, signs, empty).

#include <cstdint>
#include <optional>
#include <string_view>

std::optional<std::uint32_t> ParseCliNumber(std::string_view text);
