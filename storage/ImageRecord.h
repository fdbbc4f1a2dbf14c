#pragma once
// The record beside a saved EEPROM image (NAME.json): the card it was read from,
// and the image's size and SHA-256, which tie the record to the bytes it was saved
// with. Read back as untrusted input: every field is checked for type and range.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

struct ImageRecord {
    std::string serial;
    std::string model;
    int channel = -1;
    std::string time;      // UTC, "2026-12-07T20:30:00Z"
    std::string version;   // the program that saved it
    // Each block's verdict when saved: "valid", "invalid" or "not checked".
    std::vector<std::pair<std::string, std::string>> blocks;
    // The image's length and SHA-256 (64 lowercase hex digits). Records saved
    // before these were kept have neither: sha256 is empty then.
    std::uint64_t size = 0;
    std::string sha256;
};

// The largest record read; ours are well under 1 KiB.
inline constexpr std::size_t kImageRecordLimit = 64 * 1024;

std::string FormatImageRecord(const ImageRecord& record);
// The record in `text`, or none with `problem` set: one clause naming the field
// that is missing, of the wrong type or out of range ("the field \"channel\" is
// text; it must be a whole number from 0 to 255").
std::optional<ImageRecord> ParseImageRecord(const std::string& text, std::string& problem);
