#include "EepromImageFile.h"

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <memory>

#include <nlohmann/json.hpp>

#ifdef _WIN32
#include <windows.h>
#endif

#include "BlockSummary.h"
#include "CInstrument.h"
#include "TextFormat.h"
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

long LastFileError()
{
#ifdef _WIN32
    return static_cast<long>(::GetLastError());
#else
    return errno;
#endif
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

std::optional<ImageRecord> ParseRecord(const std::string& text, std::string& problem)
{
    const nlohmann::json json = nlohmann::json::parse(text, nullptr, false);
    if (json.is_discarded() || !json.is_object()) {
        problem = "it is not a JSON object";
        return std::nullopt;
    }
    const auto serial = json.find("serial");
    if (serial == json.end() || !serial->is_string()) {
        problem = "it names no serial";
        return std::nullopt;
    }
    ImageRecord record;
    record.serial = serial->get<std::string>();
    record.model = json.value("model", "");
    record.channel = json.value("channel", -1);
    record.time = json.value("time", "");
    record.version = json.value("version", "");
    return record;
}

// The whole of a small file; false when it cannot be opened or read.
bool ReadSmallFile(const std::string& path, std::string& bytes, long& error, std::size_t limit)
{
    errno = 0;
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file) {
        error = LastFileError();
        return false;
    }
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0 && bytes.size() <= limit)
        bytes.append(buffer, got);
    if (std::ferror(file.get()) != 0) {
        error = LastFileError();
        return false;
    }
    return true;
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
    for (const BlockSummary& entry : SummarizeBlocks(image, card.IsExemptModel()))
        record.blocks.emplace_back(entry.block.name, !entry.checked ? "not checked" : entry.valid ? "valid" : "invalid");
    return record;
}

std::string FormatImageRecord(const ImageRecord& record)
{
    nlohmann::ordered_json blocks = nlohmann::ordered_json::object();
    for (const auto& [name, verdict] : record.blocks)
        blocks[name] = verdict;
    const nlohmann::ordered_json json = {
        {"serial", record.serial},
        {"model", record.model},
        {"channel", record.channel},
        {"rack", RackOf(record.channel)},
        {"slot", SlotOf(record.channel)},
        {"time", record.time},
        {"version", record.version},
        {"blocks", blocks},
    };
    // Serial and model are the card's bytes: anything that is not UTF-8 becomes U+FFFD.
    return json.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

ImageSaveResult WriteImageFiles(const std::string& imagePath, const EepromImage& image, const ImageRecord& record)
{
    ImageSaveResult result;
    const std::string_view bytes(reinterpret_cast<const char*>(image.data()), image.size());
    result.written = WriteWholeFile(imagePath, bytes);
    if (!result.ok()) {
        result.failedPath = imagePath;
        return result;
    }
    const std::string recordPath = ImageRecordPath(imagePath);
    result.written = WriteWholeFile(recordPath, FormatImageRecord(record));
    if (!result.ok()) {
        result.failedPath = recordPath;
        std::error_code ignored;
        std::filesystem::remove(imagePath, ignored);
    }
    return result;
}

CardImageSave SaveCardImage(CInstrument& instrument, const CChannelInfo& card, int channel,
                            const std::string& imagePath)
{
    CardImageSave save;
    EepromImage image{};
    save.read = instrument.ReadEepromImage(channel, image) != 0;
    if (save.read)
        save.file = WriteImageFiles(imagePath, image, MakeImageRecord(card, channel, image));
    return save;
}

LoadedImage LoadImageFile(const std::string& imagePath)
{
    LoadedImage loaded;
    std::string bytes;
    long error = 0;
    // One byte more than an image tells a longer file from an image.
    if (!ReadSmallFile(imagePath, bytes, error, kEepromSize)) {
        const FileErrorCause cause = CauseFromSystemError(error);
        loaded.refusal = FileErrorText(cause == FileErrorCause::None ? FileErrorCause::Generic : cause, imagePath);
        return loaded;
    }
    if (bytes.size() != static_cast<std::size_t>(kEepromSize)) {
        std::error_code unknown;
        const std::uintmax_t size = std::filesystem::file_size(imagePath, unknown);
        loaded.refusal = imagePath + " holds " + std::to_string(unknown ? bytes.size() : size)
            + " bytes; an EEPROM image is exactly 512.";
        return loaded;
    }
    std::copy(bytes.begin(), bytes.end(), loaded.image.begin());

    const std::string recordPath = ImageRecordPath(imagePath);
    std::string text;
    std::error_code unknown;
    if (!std::filesystem::exists(recordPath, unknown)) {
        loaded.recordProblem = "there is no " + recordPath;
    } else if (!ReadSmallFile(recordPath, text, error, 1 << 20)) {
        loaded.recordProblem = FileErrorText(CauseFromSystemError(error), recordPath);
    } else {
        std::string problem;
        loaded.record = ParseRecord(text, problem);
        if (!loaded.record)
            loaded.recordProblem = recordPath + " cannot be used: " + problem;
    }
    return loaded;
}
