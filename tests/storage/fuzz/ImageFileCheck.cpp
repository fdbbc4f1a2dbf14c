#include "ImageFileCheck.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "ChannelStatus.h"
#include "EepromImageFile.h"
#include "Sha256.h"

namespace {

// The image every record is loaded beside: 512 zero bytes, whose SHA-256 the
// seeds carry so that the fuzzer starts inside a record that matches.
struct Folder {
    Folder()
    {
        char pattern[] = "/tmp/valdina-image-fuzz-XXXXXX";
        if (::mkdtemp(pattern) == nullptr)
            std::abort();
        path = pattern;
        image = (path / "card.bin").string();
        record = (path / "card.json").string();
        std::ofstream(image, std::ios::binary) << std::string(512, '\0');
    }
    ~Folder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::filesystem::path path;
    std::string image;
    std::string record;
};

void Require(bool rule, const char* what)
{
    if (!rule) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

bool Printable(const std::string& text)
{
    for (char c : text) {
        if (c < 0x20 || c > 0x7E)
            return false;
    }
    return true;
}

} // namespace

void CheckImageFileInput(const std::uint8_t* data, std::size_t size)
{
    static Folder folder;
    std::ofstream(folder.record, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data),
                                                                          static_cast<std::streamsize>(size));
    // Any exception escaping here ends the run: none may.
    const LoadedImage loaded = LoadImageFile(folder.image);
    Require(loaded.ok() && loaded.image == EepromImage{}, "the image loads whatever its record holds");
    if (!loaded.record) {
        Require(!loaded.recordProblem.empty(), "a record not taken says why");
        return;
    }
    const ImageRecord& record = *loaded.record;
    Require(loaded.recordProblem.empty(), "a record taken has no problem");
    Require(record.serial.size() <= 16 && Printable(record.serial), "serial fits the card's field, printable");
    Require(record.model.size() <= 16 && Printable(record.model), "model fits the card's field, printable");
    Require(record.channel >= -1 && record.channel < kChannelCount, "channel in range");
    Require(record.size == 512 && record.sha256 == Sha256Hex(std::string(512, '\0')), "the record is the image's");

    // What was taken is written back as the same record.
    std::string problem;
    const auto again = ParseImageRecord(FormatImageRecord(record), problem);
    if (record.channel >= 0) {
        Require(again.has_value(), "a taken record formats to one that is taken again");
        Require(again->serial == record.serial && again->model == record.model && again->channel == record.channel
                    && again->time == record.time && again->version == record.version
                    && again->blocks == record.blocks && again->sha256 == record.sha256,
                "the record survives a round trip");
    }
}
