// Saving, comparing and restoring whole EEPROM images on the simulated mainframe,
// with real files.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "../cli/TempFolder.h"
#include "BusRig.h"
#include "ChannelScan.h"
#include "EepromImageFile.h"
#include "ImageCompare.h"
#include "ImageRestore.h"
#include "Sha256.h"

using valdina::test::SimScenario;
using valdina::test::TestImages;
using nlohmann::json;

namespace {

constexpr int kChannel = 37;

std::string Mainframe(const TestImages::Image& image, const json& extra = json::object())
{
    json card = SimScenario::imageCard(kChannel, image);
    card.update(extra);
    return json({{"cards", {card}}}).dump();
}

EepromImage AsImage(const TestImages::Image& image)
{
    EepromImage result{};
    std::copy(image.begin(), image.end(), result.begin());
    return result;
}

// The card at kChannel after a scan of `mainframe`, with the image saved from `saved`.
struct RestoreRig {
    RestoreRig(const TestImages::Image& saved, const std::string& mainframe) : rig(Mainframe(saved))
    {
        file = (folder.path() / "card.bin").string();
        Scan();
        EXPECT_TRUE(SaveCardImage(rig.instrument, Card(), kChannel, file).ok());
        rig.Switch(mainframe);
        Scan();
    }
    void Scan() { EXPECT_TRUE(ScanChannels(rig.instrument, rig.channels, rig.rows, rig.observer)); }
    CChannelInfo& Card() { return rig.channels[kChannel]; }
    RestoreResult Restore(CPassCancel* cancel = nullptr)
    {
        rig.scenario->clearBusLog();
        const LoadedImage loaded = LoadImageFile(file);
        return RestoreEepromImage(rig.instrument, Card(), kChannel, loaded.image, rig.observer, cancel);
    }
    EepromImage CardImage()
    {
        EepromImage image{};
        EXPECT_TRUE(rig.instrument.ReadEepromImage(kChannel, image));
        return image;
    }

    TempFolder folder;
    BusRig rig;
    std::string file;
};

} // namespace

TEST(ImageRestore, RoundTripBringsACorruptedGainBlockBackToGood)
{
    const TestImages::Image good = TestImages::valid(7);
    RestoreRig r(good, Mainframe(TestImages::valid(7, {"gain"})));
    ASSERT_FALSE(r.Card().CheckImage(r.CardImage())) << "the gain block starts out invalid";

    // The file is the raw image; its record names the card.
    EXPECT_EQ(ReadFile(r.file), std::string(good.begin(), good.end()));
    const LoadedImage loaded = LoadImageFile(r.file);
    ASSERT_TRUE(loaded.record.has_value()) << loaded.recordProblem;
    EXPECT_EQ(loaded.record->serial, std::string(r.Card().Serial()));
    EXPECT_TRUE(CheckRestore(loaded, r.file, r.Card(), kChannel).overridable.empty());

    const RestoreResult result = r.Restore();
    EXPECT_EQ(result.outcome, RestoreResult::Outcome::Restored) << result.failure;
    EXPECT_TRUE(result.allValid);
    EXPECT_GT(result.differing, 0);
    EXPECT_EQ(result.written, result.differing);
    EXPECT_EQ(r.Card().m_nStatus, StatusGood);
    EXPECT_EQ(r.Card().m_strError, "");
    EXPECT_TRUE(CompareImages(r.CardImage(), AsImage(good)).empty());
    // Only the differing bytes went out, each read back.
    EXPECT_EQ(r.rig.CountSent(">"), static_cast<std::size_t>(result.differing));

    // Nothing left to do: a second run writes nothing.
    const RestoreResult again = r.Restore();
    EXPECT_EQ(again.differing, 0);
    EXPECT_EQ(r.rig.CountSent(">"), 0u);
}

TEST(ImageRestore, FaultsStopAtTheAddressAndClaimNothing)
{
    const TestImages::Image good = TestImages::valid(7);
    const TestImages::Image broken = TestImages::valid(7, {"gain"});
    const auto first = CompareImages(AsImage(broken), AsImage(good)).front().address;
    struct Row {
        const char* what;
        json card;
        const char* cause;
    };
    for (const Row& row : {Row{"write-protected card", {{"write_protected", true}}, "during \"WrEe1\""},
                           Row{"byte that takes no write", {{"stuck", {first}}}, "reads back"}}) {
        SCOPED_TRACE(row.what);
        RestoreRig r(good, Mainframe(broken, row.card));
        r.Card().m_strError = "earlier";
        const RestoreResult result = r.Restore();
        EXPECT_EQ(result.outcome, RestoreResult::Outcome::Failed);
        EXPECT_EQ(result.written, 0);
        char address[16];
        std::snprintf(address, sizeof address, "0x%04X", first);
        EXPECT_NE(result.failure.find(address), std::string::npos) << result.failure;
        EXPECT_NE(result.failure.find(row.cause), std::string::npos) << result.failure;
        EXPECT_EQ(RestoreSummary(result, kChannel).find("Channel 37 restored"), std::string::npos);
        EXPECT_EQ(r.Card().m_nStatus, StatusUnknown) << "the card is not judged";
        EXPECT_EQ(r.Card().m_strError, "earlier");
        EXPECT_EQ(r.rig.CountSent(">"), 1u) << "no write after the one that failed";
    }
}

TEST(ImageRestore, CancelledRestoreStopsBetweenBytesAndResumes)
{
    const TestImages::Image good = TestImages::valid(7);
    RestoreRig r(good, Mainframe(TestImages::erased()));
    CPassCancel cancel;
    r.rig.observer.cancel = &cancel;
    r.rig.observer.cancelAfter = 3;
    const RestoreResult stopped = r.Restore(&cancel);
    EXPECT_EQ(stopped.outcome, RestoreResult::Outcome::Cancelled);
    EXPECT_EQ(stopped.written, 3);
    // Each write was followed by its read-back and nothing else.
    EXPECT_EQ(r.rig.CountSent(">"), 3u);
    EXPECT_EQ(r.rig.CountSent("<"), 128u + 3u);
    EXPECT_EQ(r.Card().m_nStatus, StatusUnknown);

    cancel.Reset();
    r.rig.observer.cancel = nullptr;
    const RestoreResult resumed = r.Restore(&cancel);
    EXPECT_EQ(resumed.outcome, RestoreResult::Outcome::Restored);
    EXPECT_EQ(resumed.differing, stopped.differing - 3);
    EXPECT_EQ(r.Card().m_nStatus, StatusGood);
}

TEST(ImageRestore, RefusalsSayWhyAndOnlyTheLastTwoYield)
{
    TempFolder folder;
    const TestImages::Image good = TestImages::valid(7);
    const auto write = [&](const std::string& name, std::string_view bytes) {
        std::ofstream(folder.path() / name, std::ios::binary) << bytes;
        return (folder.path() / name).string();
    };
    const std::string image(good.begin(), good.end());
    const TestImages::Image broken = TestImages::valid(7, {"Rcal"});
    CChannelInfo card;
    card.m_nStatus = StatusGood;
    std::snprintf(card.m_szSerial, sizeof card.m_szSerial, "21000037");
    std::snprintf(card.m_szModel, sizeof card.m_szModel, "T210");
    CChannelInfo absent;
    // A record of `serial` tied to `bytes`.
    const auto record = [](const char* serial, const TestImages::Image& bytes) {
        ImageRecord made;
        made.serial = serial;
        made.channel = kChannel;
        made.size = bytes.size();
        made.sha256 = Sha256Hex(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
        return FormatImageRecord(made);
    };
    const std::string ours = record("21000037", good);

    struct Row {
        const char* what;
        std::string path;
        const CChannelInfo* card;
        bool always;
        const char* says;
    };
    write("ours.json", ours);
    write("other.json", record("21000099", good));
    write("broken.json", record("21000037", broken));
    write("absent.json", ours);
    const std::vector<Row> rows{
        {"short file", write("short.bin", image.substr(1)), &card, true, "holds 511 bytes; an EEPROM image is exactly 512."},
        {"no card", write("absent.bin", image), &absent, true, "Channel 37 (rack 2, slot 5) holds no card."},
        {"another serial", write("other.bin", image), &card, false, "saved from serial 21000099; the card in channel 37 has serial 21000037."},
        {"no record", write("bare.bin", image), &card, false, "is unknown (there is no"},
        {"invalid block", write("broken.bin", std::string(broken.begin(), broken.end())), &card, false,
         "the block \"Rcal\" would be invalid for a card of model T210."},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const RestoreRefusals refusals = CheckRestore(LoadImageFile(row.path), row.path, *row.card, kChannel);
        const std::string said = refusals.always + (refusals.overridable.empty() ? "" : refusals.overridable.front());
        EXPECT_NE(said.find(row.says), std::string::npos) << said;
        EXPECT_TRUE(refusals.Blocks(false));
        EXPECT_EQ(refusals.Blocks(true), row.always);
    }
    EXPECT_FALSE(CheckRestore(LoadImageFile(write("ours.bin", image)), "ours.bin", card, kChannel).Blocks(false));
}

TEST(ImageFiles, AFailedWriteLeavesNoImageBehindAndSaysWhy)
{
    TempFolder folder;
    CChannelInfo card;
    const EepromImage image{};
    const ImageRecord record = MakeImageRecord(card, kChannel, image);
    // The record's name is taken by a folder: the image must not stay without it.
    std::filesystem::create_directory(folder.path() / "card.json");
    const std::string path = (folder.path() / "card.bin").string();
    const ImageSaveResult saved = WriteImageFiles(path, image, record, ExistingFiles::Replace);
    EXPECT_FALSE(saved.ok());
    EXPECT_EQ(saved.failedPath, (folder.path() / "card.json").string());
    EXPECT_NE(saved.Text().find(saved.failedPath), std::string::npos) << saved.Text();
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(ImageCompare, DifferencesAreListedByBlockInLayoutOrder)
{
    EepromImage first{};
    EepromImage second{};
    for (int address : {30, 5, 21, 511})
        second[static_cast<std::size_t>(address)] = 0xA5;
    const std::string text = FormatImageDifferences(CompareImages(first, second), "card", "file");
    const auto at = [&](const char* what) { return text.find(what); };
    EXPECT_EQ(text.rfind("4 bytes differ:\n", 0), 0u) << text;
    EXPECT_LT(at("Header: 1 byte"), at("gain: 1 byte"));
    EXPECT_LT(at("gain: 1 byte"), at("Xmon: 1 byte"));
    EXPECT_LT(at("Xmon: 1 byte"), at("outside any block: 1 byte"));
    EXPECT_NE(at("  0x0015   0x00   0xA5\n"), std::string::npos) << text;
    EXPECT_EQ(FormatImageDifferences({}, "card", "file"), "The images are the same.\n");
}
