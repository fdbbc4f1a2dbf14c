#pragma once
// Reads a file that the operator named (an EEPROM image, its record) as untrusted
// input. Only a regular file is read; a symbolic link to one is followed. A FIFO,
// a device or a folder is refused at once, without waiting for a writer and without
// reading from it, and a file longer than the caller's limit is refused before a
// byte of it is read.

#include <cstddef>
#include <cstdint>
#include <string>

struct UntrustedRead {
    enum class Outcome { Read, Missing, NotRegular, TooLong, Failed };
    Outcome outcome = Outcome::Failed;
    std::string bytes;        // Read: the whole file
    std::uintmax_t size = 0;  // Read, TooLong: the file's length
    const char* kind = "";    // NotRegular: "a folder", "a FIFO (named pipe)", ...
    long systemError = 0;     // Failed, Missing: errno / GetLastError
    bool ok() const { return outcome == Outcome::Read; }
};

// Whole: a file longer than `limit` is refused. Start: only its first `limit` bytes
// are read, and `size` is the whole file's; on Windows, beside programs that have
// the file open for writing.
enum class UntrustedLength { Whole, Start };

UntrustedRead ReadUntrustedFile(const std::string& path, std::size_t limit,
                                UntrustedLength length = UntrustedLength::Whole);

// The refusal of a read that did not succeed, one sentence naming `path`; `what`
// names the kind of file expected ("an EEPROM image"), `limitText` the limit
// ("exactly 512") for a file too long.
std::string UntrustedReadText(const UntrustedRead& read, const std::string& path, const std::string& what,
                              const std::string& limitText);
