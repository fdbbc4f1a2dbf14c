#pragma once
// A card's EEPROM image on disk: the raw 512 bytes, byte i at EEPROM address i, as
// EEPROM programmers and hex editors take them, and beside it (same name, ".json")
// a record of the card it was read from. Both files are written under the report's
// rules: never shared while written, the report's cause texts on failure.

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "CChannelInfo.h"
#include "ChannelTable.h"
#include "EepromImage.h"
#include "ReportFile.h"

class CInstrument;

struct ImageRecord {
    std::string serial;
    std::string model;
    int channel = -1;
    std::string time;      // UTC, "2026-12-07T20:30:00Z"
    std::string version;   // the program that saved it
    // Each block's verdict when saved: "valid", "invalid" or "not checked".
    std::vector<std::pair<std::string, std::string>> blocks;
};

// The record's path: the image's with ".json" for its extension.
std::string ImageRecordPath(const std::string& imagePath);
// "21000037-T210-ch037.bin": serial, model and channel, safe as a file name anywhere.
std::string ImageFileName(const CChannelInfo& card, int channel);

// The record of `card` at `channel` holding `image`, made now.
ImageRecord MakeImageRecord(const CChannelInfo& card, int channel, const EepromImage& image);
std::string FormatImageRecord(const ImageRecord& record);

struct ImageSaveResult {
    ReportWriteResult written;
    std::string failedPath;   // the file that could not be written
    bool ok() const { return written.ok(); }
    // The operator's text of a failure.
    std::string Text() const { return FileErrorText(written.cause, failedPath); }
};

// The image, then its record. A record that cannot be written takes the image with
// it, so no image is left without the record it was saved with.
ImageSaveResult WriteImageFiles(const std::string& imagePath, const EepromImage& image, const ImageRecord& record);

struct CardImageSave {
    bool read = false;   // false: the image read failed; the connection holds why
    ImageSaveResult file;
    bool ok() const { return read && file.ok(); }
};
// Reads the card's image (128 RdEe4) and saves it with its record.
CardImageSave SaveCardImage(CInstrument& instrument, const CChannelInfo& card, int channel,
                            const std::string& imagePath);

struct LoadedImage {
    EepromImage image{};
    // None when the record is missing or unusable: the image's serial is unknown.
    std::optional<ImageRecord> record;
    std::string recordProblem;   // why there is no record
    std::string refusal;         // set when the file is no image at all
    bool ok() const { return refusal.empty(); }
};
LoadedImage LoadImageFile(const std::string& imagePath);
