#pragma once
// The SHA-256 of a few bytes, which ties an image record to its image. The
// hashing is the system's own library's: nettle here, BCrypt on Windows.

#include <string>
#include <string_view>

// 64 lowercase hex digits; empty only when the system's library failed, which no
// record accepts as a hash.
std::string Sha256Hex(std::string_view bytes);
