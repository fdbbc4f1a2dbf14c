#include "EepromImageFile.h"

#include <algorithm>
#include <ctime>
#include <filesystem>

#include "BlockSummary.h"
#include "CInstrument.h"
#include "CStagedFile.h"
#include "PresentChannels.h"
#include "Sha256.h"
#include "TextFormat.h"
#include "UntrustedFile.h"
#include "ValdinaVersion.h"

namespace {

std::string UtcNow()
{
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
#ifdef _WIN32
    gmtime_s(&utc, &now);
#else
    gmtime_r(&now, &utc);
#endif
    // Digits only: no locale reaches this text.
    return FormatText("%04d-%02d-%02dT%02d:%02d:%02dZ", utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday, utc.tm_hour,
                      utc.tm_min, utc.tm_sec);
}

// A file name keeps letters, digits, '-' and '.'; whatever else a card sent becomes '_'.
std::string FileNamePart(std::string_view text)
{
    std::string part;
    for (char c : text) {
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-'
            || c == '.';
        part += plain ? c : '_';
    }
    return part.empty() ? std::string("unknown") : part;
}

std::string_view Bytes(const EepromImage& image)
{
    return {reinterpret_cast<const char*>(image.data()), image.size()};
}

std::string WithoutFullStop(std::string text)
{
    if (!text.empty() && text.back() == '.')
        text.pop_back();
    return text;
}

bool Exists(const std::string& path)
{
    std::error_code unknown;
    // Links count too, dangling or not: whatever holds the name is in the way.
    return std::filesystem::symlink_status(path, unknown).type() != std::filesystem::file_type::not_found
        && !unknown;
}

ImageSaveResult Refused(ImageSaveResult& result, const std::string& imagePath)
{
    result.existing = ExistingImageFiles(imagePath);
    if (result.existing.empty())
        result.existing.push_back(imagePath);
    return result;
}

// The record of `imagePath` read and tied to `bytes`, or why not.
std::optional<ImageRecord> LoadRecord(const std::string& imagePath, std::string_view bytes, std::string& problem)
{
    const std::string recordPath = ImageRecordPath(imagePath);
    const UntrustedRead read = ReadUntrustedFile(recordPath, kImageRecordLimit);
    if (read.outcome == UntrustedRead::Outcome::Missing) {
        problem = "there is no " + recordPath;
        return std::nullopt;
    }
    if (!read.ok()) {
        problem = WithoutFullStop(UntrustedReadText(read, recordPath, "an image record", "at most 65536 bytes"));
        return std::nullopt;
    }
    std::optional<ImageRecord> record = ParseImageRecord(read.bytes, problem);
    if (!record) {
        problem = recordPath + " cannot be used: " + problem;
        return std::nullopt;
    }
    // A record that cannot vouch for these very bytes names no serial for them.
    if (record->sha256.empty()) {
        problem = recordPath + " names serial " + record->serial
            + " but was saved without the image's SHA-256, so it cannot be tied to " + imagePath;
        return std::nullopt;
    }
    if (record->size != bytes.size() || record->sha256 != Sha256Hex(bytes)) {
        problem = recordPath + " does not match the image: it was saved for other bytes than " + imagePath
            + " holds";
        return std::nullopt;
    }
    return record;
}

} // namespace

std::string ImageRecordPath(const std::string& imagePath)
{
    std::filesystem::path path(imagePath);
    // "x.json" would be its own record.
    if (path.extension() == ".json")
        return imagePath + ".json";
    return path.replace_extension(".json").string();
}

std::string ImageFileName(const CChannelInfo& card, int channel)
{
    return FileNamePart(card.Serial()) + "-" + FileNamePart(card.Model()) + FormatText("-ch%03d.bin", channel);
}

ImageRecord MakeImageRecord(const CChannelInfo& card, int channel, const EepromImage& image)
{
    ImageRecord record;
    record.serial = std::string(card.Serial());
    record.model = std::string(card.Model());
    record.channel = channel;
    record.time = UtcNow();
    record.version = VALDINA_VERSION;
    record.size = image.size();
    record.sha256 = Sha256Hex(Bytes(image));
    for (const BlockSummary& entry : SummarizeBlocks(image, card.IsExemptModel()))
        record.blocks.emplace_back(entry.block.name, !entry.checked ? "not checked" : entry.valid ? "valid" : "invalid");
    return record;
}

std::vector<std::string> ExistingImageFiles(const std::string& imagePath)
{
    std::vector<std::string> existing;
    for (const std::string& path : {imagePath, ImageRecordPath(imagePath)}) {
        if (Exists(path))
            existing.push_back(path);
    }
    return existing;
}

std::vector<std::string> ExistingCardImageFiles(const ChannelTable& channels, const std::string& folder)
{
    std::vector<std::string> existing;
    for (int channel : PresentChannels(channels)) {
        const std::string path =
            (std::filesystem::path(folder) / ImageFileName(channels[static_cast<std::size_t>(channel)], channel))
                .string();
        for (std::string& file : ExistingImageFiles(path))
            existing.push_back(std::move(file));
    }
    return existing;
}

std::string ExistingFilesText(const std::vector<std::string>& existing)
{
    std::string names;
    for (std::size_t i = 0; i < existing.size(); ++i)
        names += (i == 0 ? "" : i + 1 == existing.size() ? " and " : ", ") + existing[i];
    return names + (existing.size() == 1 ? " exists" : " exist") + " already; nothing was replaced.";
}

std::string ImageSaveResult::Text() const
{
    return Refused() ? ExistingFilesText(existing) : FileErrorText(written.cause, failedPath);
}

ImageSaveResult WriteImageFiles(const std::string& imagePath, const EepromImage& image, const ImageRecord& record,
                                ExistingFiles existing)
{
    ImageSaveResult result;
    const bool replace = existing == ExistingFiles::Replace;
    if (!replace) {
        result.existing = ExistingImageFiles(imagePath);
        if (result.Refused())
            return result;
    }
    CStagedFile recordFile(ImageRecordPath(imagePath));
    CStagedFile imageFile(imagePath);
    // `opened`: the temporary file was made, and writing it (a full disk, whatever
    // the system said, as for the report) or renaming it failed.
    const auto failed = [&result](const CStagedFile& file, bool opened, bool writing) {
        result.failedPath = file.FinalPath();
        result.written.systemError = file.LastError();
        result.written.opened = opened;
        result.written.cause = writing ? FileErrorCause::DiskFull : CauseFromSystemError(file.LastError());
        if (result.written.cause == FileErrorCause::None)
            result.written.cause = FileErrorCause::Generic;
        return result;
    };
    // The image named first: a folder that is not there is the image's.
    for (CStagedFile* file : {&imageFile, &recordFile}) {
        if (!file->IsOpen())
            return failed(*file, false, false);
    }
    if (!recordFile.Write(FormatImageRecord(record)))
        return failed(recordFile, true, true);
    if (!imageFile.Write(Bytes(image)))
        return failed(imageFile, true, true);

    // Both are whole; now the names, the record's first. When the image cannot
    // take its name, the record placed before it is taken back (and the one it
    // replaced put back); a file put in the way since the check above is kept.
    if (!recordFile.Place(replace))
        return recordFile.Existed() ? Refused(result, imagePath) : failed(recordFile, true, false);
    if (!imageFile.Place(replace)) {
        recordFile.Unplace();
        return imageFile.Existed() ? Refused(result, imagePath) : failed(imageFile, true, false);
    }
    return result;
}

CardImageSave SaveCardImage(CInstrument& instrument, const CChannelInfo& card, int channel,
                            const std::string& imagePath, ExistingFiles existing)
{
    CardImageSave save;
    EepromImage image{};
    save.read = instrument.ReadEepromImage(channel, image) != 0;
    if (save.read) {
        const ImageRecord record = MakeImageRecord(card, channel, image);
        save.sha256 = record.sha256;
        save.file = WriteImageFiles(imagePath, image, record, existing);
    }
    return save;
}

LoadedImage LoadImageFile(const std::string& imagePath)
{
    LoadedImage loaded;
    const UntrustedRead read = ReadUntrustedFile(imagePath, kEepromSize);
    if (read.ok() && read.bytes.size() != static_cast<std::size_t>(kEepromSize)) {
        loaded.refusal = imagePath + " holds " + std::to_string(read.bytes.size())
            + " bytes; an EEPROM image is exactly 512.";
        return loaded;
    }
    if (!read.ok()) {
        loaded.refusal = UntrustedReadText(read, imagePath, "an EEPROM image", "exactly 512");
        return loaded;
    }
    std::copy(read.bytes.begin(), read.bytes.end(), loaded.image.begin());
    loaded.record = LoadRecord(imagePath, read.bytes, loaded.recordProblem);
    return loaded;
}
