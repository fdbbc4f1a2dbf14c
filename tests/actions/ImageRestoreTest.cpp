// Saving, comparing and restoring whole EEPROM images on the simulated mainframe,
// with real files.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <fstream>

#include "../cli/TempFolder.h"
#include "../channels/BusRig.h"
#include "ChannelColumns.h"
#include "ChannelScan.h"
#include "EepromImageFile.h"
#include "ImageCompare.h"
#include "IOperatorConfirm.h"
#include "ImageRestore.h"
#include "RestoreAction.h"
#include "SaveAction.h"
#include "Sha256.h"

using valdina::test::SimScenario;
using valdina::test::TestImages;
using nlohmann::json;

namespace {

constexpr int kChannel = 37;

std::string Mainframe(const TestImages::Image& image, const json& extra = json::object(),
                      const json& faults = json::array())
{
    json card = SimScenario::imageCard(kChannel, image);
    card.update(extra);
    return json({{"cards", {card}}, {"faults", faults}}).dump();
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
        return RestoreEepromImage(rig.instrument, Card(), kChannel, loaded.image, rig.rows, rig.observer, cancel);
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
    const int differing = static_cast<int>(CompareImages(AsImage(broken), AsImage(good)).size());
    struct Row {
        const char* what;
        json card;
        json faults;
        const char* cause;
        int written;
    };
    // The cell at `first` reads back as written, then loses it before the image is read again.
    const json decays = json::array(
        {{{"command", "RdEe1"}, {"channel", kChannel}, {"address", first}, {"kind", "flip"}, {"times", 1}}});
    const json none = json::array();
    for (const Row& row : {Row{"write-protected card", {{"write_protected", true}}, none, "during \"WrEe1\"", 0},
                           Row{"byte that takes no write", {{"stuck", {first}}}, none, "reads back", 0},
                           Row{"byte that changes after its read-back", json::object(), decays,
                               "differs from the image at", differing}}) {
        SCOPED_TRACE(row.what);
        RestoreRig r(good, Mainframe(broken, row.card, row.faults));
        r.Card().m_strError = "earlier";
        const RestoreResult result = r.Restore();
        EXPECT_EQ(result.outcome, RestoreResult::Outcome::Failed);
        EXPECT_EQ(result.written, row.written);
        char address[16];
        std::snprintf(address, sizeof address, "0x%04X", first);
        EXPECT_NE(result.failure.find(address), std::string::npos) << result.failure;
        EXPECT_NE(result.failure.find(row.cause), std::string::npos) << result.failure;
        EXPECT_EQ(RestoreSummary(result, kChannel).find("Channel 37 restored"), std::string::npos);
        EXPECT_EQ(r.Card().m_nStatus, StatusUnknown) << "the card is not judged";
        EXPECT_EQ(r.Card().m_strError.rfind("restore failed: " + std::to_string(row.written) + " of ", 0), 0u)
            << r.Card().m_strError;
        EXPECT_EQ(r.rig.rows.rows[0].texts[kColumnError], r.Card().m_strError);
        EXPECT_EQ(r.rig.CountSent(">"), row.written == 0 ? 1u : static_cast<std::size_t>(row.written))
            << "no write after the one that failed";
    }
}

TEST(ImageRestore, ARestoreToItsEndJudgesTheCardAsTheVerifyPassDoes)
{
    const TestImages::Image good = TestImages::valid(7);
    struct Row {
        const char* what;
        json faults;
        std::int32_t status;
        const char* error;
    };
    const json azro = {{"command", "SetGain"}, {"channel", kChannel}, {"gain", 1000}, {"kind", "error"}, {"stb", 80}};
    for (const Row& row : {Row{"gain self-test fails", {azro}, StatusFail, "azro error during G1000"},
                           Row{"self-test cut off by the bus", {{{"command", "GetOpMode"}, {"kind", "timeout"}}},
                               StatusUnknown, "gain self-test not completed"}}) {
        SCOPED_TRACE(row.what);
        RestoreRig r(good, Mainframe(TestImages::valid(7, {"gain"}), json::object(), row.faults));
        const RestoreResult result = r.Restore();
        EXPECT_EQ(result.outcome, RestoreResult::Outcome::Restored) << result.failure;
        EXPECT_TRUE(result.allValid);
        EXPECT_EQ(r.Card().m_nStatus, row.status);
        EXPECT_NE(r.Card().m_strError.find(row.error), std::string::npos) << r.Card().m_strError;
        EXPECT_NE(RestoreSummary(result, kChannel).find(row.error), std::string::npos);
        EXPECT_EQ(r.rig.rows.rows[0].texts[kColumnStatus], StatusText(row.status));
    }
}

TEST(ImageActions, ACardSwappedAfterTheScanIsReadAgainBeforeAnythingIsWrittenOrRecorded)
{
    const TestImages::Image good = TestImages::valid(7);
    // The scan's QuerySN of the card is its last answer as 21000037: then another card is in the slot.
    const json swap = {{"command", "QuerySN"}, {"channel", kChannel}, {"kind", "swap"}, {"serial", "99000001"},
                       {"times", 1}};
    RestoreRig r(good, Mainframe(TestImages::valid(7, {"gain"}), json::object(), json::array({swap})));
    ASSERT_EQ(r.Card().Serial(), "21000037");
    struct Recorder final : IOperatorConfirm {
        bool Confirm(ConfirmQuestion, const std::vector<std::string>& reasons) override
        {
            asked.insert(asked.end(), reasons.begin(), reasons.end());
            if (whileAsked)
                whileAsked();
            return answer;
        }
        std::vector<std::string> asked;
        bool answer = false;
        std::function<void()> whileAsked;
    } confirm;
    const CardActionFront front{r.rig.instrument, r.rig.channels, r.rig.rows, r.rig.observer, r.rig.observer, confirm};

    r.rig.scenario->clearBusLog();
    EXPECT_EQ(RestoreCardImage(front, kChannel, r.file).outcome, ActionOutcome::Refused);
    ASSERT_FALSE(confirm.asked.empty());
    EXPECT_EQ(confirm.asked[0], "Channel 37 now holds serial 99000001, not 21000037 as the last scan found.");
    EXPECT_EQ(r.rig.CountSent(">"), 0u);
    EXPECT_EQ(r.Card().Serial(), "99000001");
    EXPECT_EQ(r.rig.rows.rows[0].texts[kColumnSerial], "99000001");

    // A save records the serial it read: swapped again, the record names the new card.
    r.rig.Switch(Mainframe(good, {{"serial", "99000002"}}));
    const std::string saved = (r.folder.path() / "saved.bin").string();
    EXPECT_EQ(SaveCardImageAs(front, kChannel, saved).outcome, ActionOutcome::Done);
    EXPECT_EQ(LoadImageFile(saved).record->serial, "99000002");
    // Over an existing pair only when confirmed, the question naming both files.
    confirm.asked.clear();
    EXPECT_EQ(SaveCardImageAs(front, kChannel, saved).outcome, ActionOutcome::Refused);
    ASSERT_EQ(confirm.asked.size(), 1u);
    EXPECT_NE(confirm.asked[0].find(saved + ", " + ImageRecordPath(saved)), std::string::npos) << confirm.asked[0];

    // Swapped again while the question stood open: the yes was for another card.
    confirm.answer = true;
    confirm.whileAsked = [&] { r.rig.Switch(Mainframe(good, {{"serial", "99000003"}})); };
    EXPECT_EQ(RestoreCardImage(front, kChannel, r.file).outcome, ActionOutcome::Refused);
    EXPECT_EQ(r.rig.CountSent(">"), 0u);
    EXPECT_EQ(r.rig.rows.rows[0].texts[kColumnSerial], "99000003");

    confirm.whileAsked = nullptr;
    EXPECT_EQ(RestoreCardImage(front, kChannel, r.file).outcome, ActionOutcome::Done);
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
    EXPECT_EQ(r.Card().m_strError, "restore cancelled: 3 of " + std::to_string(stopped.differing) + " bytes written");

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
