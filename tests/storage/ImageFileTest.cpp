// EEPROM image files on a real file system: read as untrusted input, and saved
// without ever losing the pair that was there.

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>

#include <nlohmann/json.hpp>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "../cli/TempFolder.h"
#include "EepromImageFile.h"

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

constexpr int kChannel = 37;

EepromImage Sample(std::uint8_t seed)
{
    EepromImage image{};
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<std::uint8_t>(i * 7 + seed);
    return image;
}

std::string Text(const EepromImage& image)
{
    return {image.begin(), image.end()};
}

ImageRecord Record(const EepromImage& image)
{
    CChannelInfo card;
    card.m_nStatus = StatusGood;
    std::snprintf(card.m_szSerial, sizeof card.m_szSerial, "21000037");
    std::snprintf(card.m_szModel, sizeof card.m_szModel, "T210");
    return MakeImageRecord(card, kChannel, image);
}

void Write(const fs::path& path, std::string_view bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

// Anything a save left under a hidden name: its temporary files.
std::vector<std::string> Hidden(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().filename().string()[0] == '.')
            names.push_back(entry.path().filename().string());
    }
    return names;
}

} // namespace

TEST(ImageFile, UntrustedFilesAreRefusedInASentenceAndNothingWaitsOrThrows)
{
    // A read that waited on a FIFO would end the test here instead of hanging it.
    ::alarm(30);
    TempFolder folder;
    const EepromImage image = Sample(3);
    const json good = json::parse(FormatImageRecord(Record(image)));
    // card.bin and beside it card.json holding `record` (a JSON value, or raw text).
    const auto pair = [&](const std::string& name, const json& record, std::string_view bin = {}) {
        const fs::path path = folder.path() / (name + ".bin");
        Write(path, bin.empty() ? Text(image) : bin);
        Write(folder.path() / (name + ".json"), record.is_string() ? record.get<std::string>() : record.dump());
        return path.string();
    };
    const auto with = [&](const char* field, const json& value) {
        json record = good;
        record[field] = value;
        return record;
    };
    const auto without = [&](std::initializer_list<const char*> fields) {
        json record = good;
        for (const char* field : fields)
            record.erase(field);
        return record;
    };
    const auto special = [&](const char* name, const std::function<void(const fs::path&)>& make) {
        make(folder.path() / name);
        return (folder.path() / name).string();
    };
    const std::string fifo = "(named pipe), not a file; an EEPROM image is read only from a file.";
    EepromImage edited = image;
    edited[100] ^= 1;

    struct Row {
        const char* what;
        std::string path;
        std::string refusal;         // empty: the image loads
        std::string recordProblem;   // empty: with its record
    };
    const std::vector<Row> rows{
        {"a saved pair", pair("good", good), "", ""},
        {"missing file", (folder.path() / "none.bin").string(), "none.bin does not exist.", ""},
        {"folder", special("folder.bin", [](const fs::path& p) { fs::create_directory(p); }),
         "folder.bin is a folder, not a file", ""},
        {"FIFO without a writer", special("pipe.bin", [](const fs::path& p) { ::mkfifo(p.c_str(), 0600); }), fifo, ""},
        {"device", "/dev/null", "/dev/null is a device, not a file", ""},
        {"link to a saved pair", special("link.bin", [&](const fs::path& p) {
             fs::create_symlink(folder.path() / "good.bin", p);
             fs::create_symlink(folder.path() / "good.json", folder.path() / "link.json");
         }), "", ""},
        {"511 bytes", pair("short", good, Text(image).substr(1)), "holds 511 bytes; an EEPROM image is exactly 512.", ""},
        {"1 GiB, not read", special("huge.bin", [](const fs::path& p) { Write(p, ""); fs::resize_file(p, 1u << 30); }),
         "holds 1073741824 bytes; an EEPROM image is exactly 512.", ""},
        {"no record", special("bare.bin", [&](const fs::path& p) { Write(p, Text(image)); }), "", "there is no "},
        {"record no JSON", pair("nojson", "{\"serial\":"), "", "cannot be used: it is not a JSON object"},
        {"record a list", pair("list", json::array({good})), "", "cannot be used: it is not a JSON object"},
        {"record not UTF-8", pair("latin", "{\"serial\": \"2100\xE9\"}"), "", "it is not a JSON object"},
        {"channel as text", pair("c1", with("channel", "5")), "",
         "the field \"channel\" is text; it must be a whole number from 0 to 255"},
        {"channel null", pair("c2", with("channel", nullptr)), "", "the field \"channel\" is null;"},
        {"channel 300", pair("c3", with("channel", 300)), "", "the field \"channel\" is 300; it must be"},
        {"channel a fraction", pair("c4", with("channel", 5.5)), "", "the field \"channel\" is a fraction;"},
        {"channel beyond 64 bits", pair("c5", "{\"serial\": \"1\", \"channel\": 18446744073709551615}"), "",
         "the field \"channel\" is 18446744073709551615;"},
        {"serial a number", pair("s1", with("serial", 5)), "", "the field \"serial\" is a number; it must be text"},
        {"serial missing", pair("s2", without({"serial"})), "", "the field \"serial\" is missing"},
        {"serial too long", pair("s3", with("serial", "21000037210000371")), "",
         "the field \"serial\" has 17 characters; at most 16 fit"},
        {"model not printable", pair("m1", with("model", "T2\a0")), "",
         "the field \"model\" holds a character that is not printable ASCII"},
        {"rack not the channel's", pair("r1", with("rack", 3)), "", "the field \"rack\" does not agree"},
        {"time not a time", pair("t1", with("time", "yesterday")), "", "the field \"time\" is no UTC time"},
        {"unknown verdict", pair("b1", with("blocks", {{"gain", "fine"}})), "", "gives the block \"gain\" no verdict"},
        {"unknown block", pair("b2", with("blocks", {{"\x01", "valid"}})), "", "names no block of the image: \"?\""},
        {"hash no hex", pair("h1", with("sha256", "xyz")), "", "the field \"sha256\" is not 64 lowercase hex digits"},
        {"size without hash", pair("h2", without({"sha256"})), "", "the field \"sha256\" is missing"},
        {"size negative", pair("h3", with("size", -1)), "", "the field \"size\" is -1;"},
        {"record of other bytes", pair("edited", good, Text(edited)), "",
         "edited.json does not match the image: it was saved for other bytes than"},
        {"record of another size", pair("z1", with("size", 511)), "", "z1.json does not match the image"},
        {"older record without hash", pair("old", without({"size", "sha256"})), "",
         "old.json names serial 21000037 but was saved without the image's SHA-256, so it cannot be tied to"},
        {"record a FIFO", special("rpipe.bin", [&](const fs::path& p) {
             Write(p, Text(image));
             ::mkfifo((folder.path() / "rpipe.json").c_str(), 0600);
         }), "", "rpipe.json is a FIFO (named pipe), not a file"},
        {"record 70000 bytes", pair("rhuge", std::string(70000, ' ')), "",
         "rhuge.json holds 70000 bytes; an image record is at most 65536 bytes"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        LoadedImage loaded;
        ASSERT_NO_THROW(loaded = LoadImageFile(row.path));
        EXPECT_EQ(loaded.ok(), row.refusal.empty());
        EXPECT_NE(loaded.refusal.find(row.refusal), std::string::npos) << loaded.refusal;
        if (!loaded.ok())
            continue;
        EXPECT_EQ(Text(loaded.image), ReadFile(row.path));
        EXPECT_EQ(loaded.record.has_value(), row.recordProblem.empty()) << loaded.recordProblem;
        EXPECT_NE(loaded.recordProblem.find(row.recordProblem), std::string::npos) << loaded.recordProblem;
    }
    ::alarm(0);
}

TEST(ImageFile, SavesNeverLoseTheOldPairAndLeaveNoTemporaryFile)
{
    const std::string oldImage(512, '\xEE');
    const std::string oldRecord = "{\"serial\": \"old\"}";
    const EepromImage image = Sample(5);
    struct Row {
        const char* what;
        std::vector<const char*> old;   // what is there before: "bin", "json", "bin/" (a folder), "link"
        ExistingFiles existing;
        rlim_t sizeLimit;               // RLIM_INFINITY, or the largest file the save may write
        std::vector<const char*> inTheWay;
        const char* failed;             // the file named by a failure, or ""
    };
    const Row rows[] = {
        {"nothing there", {}, ExistingFiles::Keep, RLIM_INFINITY, {}, ""},
        {"a pair there", {"bin", "json"}, ExistingFiles::Keep, RLIM_INFINITY, {"bin", "json"}, ""},
        {"a record there", {"json"}, ExistingFiles::Keep, RLIM_INFINITY, {"json"}, ""},
        {"a dangling link there", {"link"}, ExistingFiles::Keep, RLIM_INFINITY, {"bin"}, ""},
        {"a pair replaced", {"bin", "json"}, ExistingFiles::Replace, RLIM_INFINITY, {}, ""},
        {"the record cannot be written", {"bin", "json"}, ExistingFiles::Replace, 100, {}, "json"},
        {"the record's name is a folder", {"bin", "json/"}, ExistingFiles::Replace, RLIM_INFINITY, {}, "json"},
        {"the image's name is a folder", {"bin/", "json"}, ExistingFiles::Replace, RLIM_INFINITY, {}, "bin"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        TempFolder folder;
        const auto path = [&](std::string_view what) {
            return (folder.path() / (what.substr(0, 3) == "bin" || what == "link" ? "card.bin" : "card.json")).string();
        };
        for (std::string_view what : row.old) {
            if (what.back() == '/')
                fs::create_directory(path(what));
            else if (what == "link")
                fs::create_symlink(folder.path() / "nowhere", path(what));
            else
                Write(path(what), what == "bin" ? oldImage : oldRecord);
        }
        // A file system that takes no more than `sizeLimit` bytes per file (EFBIG).
        rlimit saved{};
        ::getrlimit(RLIMIT_FSIZE, &saved);
        const auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = saved;
        limited.rlim_cur = row.sizeLimit;
        ::setrlimit(RLIMIT_FSIZE, &limited);
        const ImageSaveResult result = WriteImageFiles(path("bin"), image, Record(image), row.existing);
        ::setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldSignal);

        std::vector<std::string> inTheWay;
        for (const char* what : row.inTheWay)
            inTheWay.push_back(path(what));
        EXPECT_EQ(result.existing, inTheWay);
        EXPECT_EQ(result.failedPath, *row.failed ? path(row.failed) : "");
        EXPECT_NE(result.Text().find(inTheWay.empty() ? result.failedPath : inTheWay.front()), std::string::npos);
        EXPECT_EQ(Hidden(folder.path()), std::vector<std::string>{});
        if (result.ok()) {
            const LoadedImage loaded = LoadImageFile(path("bin"));
            EXPECT_EQ(Text(loaded.image), Text(image));
            EXPECT_TRUE(loaded.record.has_value()) << loaded.recordProblem;
            continue;
        }
        // Refused or failed: what was there is there, byte for byte.
        for (std::string_view what : row.old) {
            if (what == "bin" || what == "json")
                EXPECT_EQ(ReadFile(path(what)), what == "bin" ? oldImage : oldRecord) << what;
        }
        if (row.old.empty() || std::string_view(row.old.front()) == "json")
            EXPECT_FALSE(fs::exists(path("bin")));
    }
}

TEST(ImageFile, TheRecordsHashIsTheSavedFilesAsSha256sumReadsIt)
{
    TempFolder folder;
    const std::string bin = (folder.path() / "card.bin").string();
    ASSERT_TRUE(WriteImageFiles(bin, Sample(9), Record(Sample(9))).ok());
    std::FILE* pipe = ::popen(("sha256sum '" + bin + "'").c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    char digest[65] = {};
    ASSERT_EQ(std::fread(digest, 1, 64, pipe), 64u);
    ::pclose(pipe);
    const json record = json::parse(ReadFile(folder.path() / "card.json"));
    EXPECT_EQ(record["sha256"], digest);
    EXPECT_EQ(record["size"], 512);
}
