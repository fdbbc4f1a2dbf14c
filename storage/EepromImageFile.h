#pragma once
// A card's EEPROM image on disk: the raw 512 bytes, byte i at EEPROM address i, as
// EEPROM programmers and hex editors take them, and beside it (same name, ".json")
// a record of the card it was read from (ImageRecord). Both are written under
// temporary names and renamed into place together; an existing pair is replaced
// only when the caller says so. Both are read as untrusted input.

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "CChannelInfo.h"
#include "ChannelTable.h"
#include "EepromImage.h"
#include "ImageRecord.h"
#include "ReportFile.h"

class CInstrument;

// The record's path: the image's with ".json" for its extension.
std::string ImageRecordPath(const std::string& imagePath);
// "21000037-T210-ch037.bin": serial, model and channel, safe as a file name anywhere.
std::string ImageFileName(const CChannelInfo& card, int channel);

// The record of `card` at `channel` holding `image`, made now.
ImageRecord MakeImageRecord(const CChannelInfo& card, int channel, const EepromImage& image);

// Whether a save may replace an image or record that is there already.
enum class ExistingFiles { Keep, Replace };

// The files that saving to `imagePath` would replace: the image, its record, or
// both, in that order (anything by their names: a file, a link, a folder). The
// window asks with these before a save; the command line names them and refuses.
std::vector<std::string> ExistingImageFiles(const std::string& imagePath);
// The same for saving every card of the last scan into `folder` (Save All).
std::vector<std::string> ExistingCardImageFiles(const ChannelTable& channels, const std::string& folder);

struct ImageSaveResult {
    ReportWriteResult written;
    std::string failedPath;              // the file that could not be written
    std::vector<std::string> existing;   // Keep: the files in the way; nothing was written
    bool ok() const { return written.ok() && existing.empty(); }
    bool Refused() const { return !existing.empty(); }
    // The operator's text of a failure or refusal, one sentence.
    std::string Text() const;
};

// "card.bin and card.json exist already; nothing was replaced."
std::string ExistingFilesText(const std::vector<std::string>& existing);

// The image and its record, each written whole under a temporary name in the
// image's folder, then renamed into place: the record first, the image last. Any
// failure before the renames leaves the old pair as it was and no temporary file
// behind. With Keep, a pair with either name there is refused whole.
ImageSaveResult WriteImageFiles(const std::string& imagePath, const EepromImage& image, const ImageRecord& record,
                                ExistingFiles existing = ExistingFiles::Keep);

struct CardImageSave {
    bool read = false;   // false: the image read failed; the connection holds why
    ImageSaveResult file;
    std::string sha256;  // the image's, as its record holds it
    bool ok() const { return read && file.ok(); }
};
// Reads the card's image (128 RdEe4) and saves it with its record.
CardImageSave SaveCardImage(CInstrument& instrument, const CChannelInfo& card, int channel,
                            const std::string& imagePath, ExistingFiles existing = ExistingFiles::Keep);

struct LoadedImage {
    EepromImage image{};
    // None when the record is missing, unusable, or not tied to these bytes (its
    // size or SHA-256 differs, or it was saved without them): the image's serial
    // is unknown.
    std::optional<ImageRecord> record;
    std::string recordProblem;   // why there is no record; a clause, no full stop
    std::string refusal;         // set when the file is no image at all
    bool ok() const { return refusal.empty(); }
};
// Reads only a regular file of exactly 512 bytes (see UntrustedFile.h) and its
// record; never throws, never waits on a FIFO.
LoadedImage LoadImageFile(const std::string& imagePath);
