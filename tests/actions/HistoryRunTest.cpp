// The card history as the front ends record it: runs of the real core flows on the
// simulated mainframe, into a real SQLite file.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "../cli/TempFolder.h"
#include "../channels/BusRig.h"
#include "CHistoryRun.h"
#include "CSqliteHistoryStore.h"
#include "ChannelScan.h"
#include "EepromImageFile.h"
#include "HistoryFormat.h"
#include "IOperatorConfirm.h"
#include "PokeAction.h"
#include "RestoreAction.h"
#include "Sha256.h"
#include "TextFormat.h"
#include "VerifyAll.h"

using valdina::test::SimScenario;
using valdina::test::TestImages;
using nlohmann::json;

namespace {

constexpr int kChannel = 37;
constexpr std::uint16_t kGainByte = 0x30;   // inside the gain block

std::string Mainframe(const TestImages::Image& image, const json& extra = json::object())
{
    json card = SimScenario::imageCard(kChannel, image);
    card.update(extra);
    return json({{"cards", {card}}}).dump();
}

struct Answer final : IOperatorConfirm {
    bool Confirm(ConfirmQuestion question, const std::vector<std::string>& reasons) override
    {
        asked.push_back(question);
        said.insert(said.end(), reasons.begin(), reasons.end());
        sentWhenAsked = sent ? sent() : 0;
        return yes;
    }
    bool yes = false;
    std::function<std::size_t()> sent;   // commands on the bus so far
    std::size_t sentWhenAsked = 0;
    std::vector<ConfirmQuestion> asked;
    std::vector<std::string> said;
};

struct HistoryRig {
    explicit HistoryRig(const std::string& mainframe, std::filesystem::path storePath = {})
        : rig(mainframe),
          store(HistoryLocation{(storePath.empty() ? folder.path() / "history.sqlite" : storePath).string(), true, {}},
                {})
    {
    }
    CardActionFront Front(CHistoryRun& run)
    {
        return {rig.instrument, rig.channels, rig.rows, run.Watch(rig.observer), rig.observer, answer, nullptr, &run};
    }
    // A scan and verify pass recorded as one run, as both front ends make it.
    void Verify()
    {
        CHistoryRun run(&store, rig.instrument, "test", "verify", rig.observer);
        ASSERT_TRUE(ScanChannels(rig.instrument, rig.channels, rig.rows, run.Watch(rig.observer)));
        ASSERT_TRUE(VerifyAllChannels(rig.instrument, rig.channels, rig.rows, run.Watch(rig.observer)));
        run.End("done", rig.channels);
    }
    std::vector<std::string> History(bool writesOnly = false)
    {
        CSqliteHistoryStore reader(HistoryLocation{store.Where(), true, {}}, {CSqliteHistoryStore::Mode::Read, 5000});
        const auto entries = reader.Query({std::string("21000037"), {}, {}, writesOnly});
        std::vector<std::string> lines;
        for (const HistoryEntry& entry : entries.value())
            lines.push_back(std::string(HistoryKindText(entry.kind)) + " " + HistoryEntrySummary(entry));
        return lines;
    }

    TempFolder folder;
    BusRig rig;
    CSqliteHistoryStore store;
    Answer answer;
};

} // namespace

TEST(CardHistory, VerifyPokeVerifyIsGoodThePokeThenFailNewestFirst)
{
    const TestImages::Image image = TestImages::valid(7);
    HistoryRig h(Mainframe(image));
    h.Verify();
    {
        CHistoryRun run(&h.store, h.rig.instrument, "test", "poke 37 0x30 0x00", h.rig.observer);
        const auto byte = static_cast<std::uint8_t>(image[kGainByte] ^ 0x5A);
        EXPECT_EQ(PokeCardByte(h.Front(run), kChannel, kGainByte, byte).outcome, ActionOutcome::Done);
        run.End("done");
    }
    h.Verify();
    const auto byte = static_cast<unsigned>(image[kGainByte]);
    const auto poked = byte ^ 0x5Au;
    EXPECT_EQ(h.History(),
              (std::vector<std::string>{"run Fail: " + std::string(h.rig.channels[kChannel].m_strError),
                                        FormatText("write poke 0x0030: 0x%02X -> 0x%02X, read back 0x%02X", byte,
                                                   poked, poked),
                                        "run Good"}));
    EXPECT_TRUE(h.rig.observer.messages.empty()) << h.rig.observer.messages.front();
}

TEST(CardHistory, ARestoreRecordsEveryByteWithItsReadBackAndHowFarItGot)
{
    const TestImages::Image good = TestImages::valid(7);
    const TestImages::Image broken = TestImages::valid(7, {"gain"});
    int first = 0;
    while (good[static_cast<std::size_t>(first)] == broken[static_cast<std::size_t>(first)])
        ++first;
    struct Row {
        const char* what;
        json card;
        const char* outcome;
    };
    for (const Row& row : {Row{"runs to its end", json::object(), "written"},
                           Row{"stops at a byte that takes no write", {{"stuck", {first}}}, "restore failed: 0 of "}}) {
        SCOPED_TRACE(row.what);
        HistoryRig h(Mainframe(good));
        const std::string file = (h.folder.path() / "card.bin").string();
        ASSERT_TRUE(ScanChannels(h.rig.instrument, h.rig.channels, h.rig.rows, h.rig.observer));
        ASSERT_TRUE(SaveCardImage(h.rig.instrument, h.rig.channels[kChannel], kChannel, file).ok());
        h.rig.Switch(Mainframe(broken, row.card));
        ASSERT_TRUE(ScanChannels(h.rig.instrument, h.rig.channels, h.rig.rows, h.rig.observer));

        CHistoryRun run(&h.store, h.rig.instrument, "test", "restore", h.rig.observer);
        RestoreCardImage(h.Front(run), kChannel, file);
        run.End("x", h.rig.channels);

        CSqliteHistoryStore reader(HistoryLocation{h.store.Where(), true, {}}, {CSqliteHistoryStore::Mode::Read, 5000});
        const auto writes = reader.Query({std::string("21000037"), {}, {}, true}).value();
        ASSERT_FALSE(writes.empty());
        const std::string digest = Sha256Hex(ReadFile(file));
        std::size_t readBack = 0;
        for (const HistoryEntry& entry : writes) {
            EXPECT_EQ(entry.file, file);
            EXPECT_EQ(entry.sha256, digest);
            EXPECT_EQ(entry.byte.written, good[entry.byte.address]);
            EXPECT_EQ(entry.byte.before, broken[entry.byte.address]);
            EXPECT_EQ(entry.writeOutcome.rfind(row.outcome, 0), 0u) << "outcome: " << entry.writeOutcome;
            readBack += entry.byte.readBack.has_value() ? 1 : 0;
        }
        EXPECT_EQ(readBack, std::string(row.outcome) == "written" ? writes.size() : 1u)
            << "a stopped restore reads back only the byte it stopped at";
    }
}

// A write the store cannot record goes out only when the operator lets it go
// unrecorded; without a store at all (--no-history) it goes out and says so.
TEST(CardHistory, AWriteTheStoreCannotRecordIsRefusedUnlessLetThrough)
{
    const TestImages::Image image = TestImages::valid(7);
    struct Row {
        const char* what;
        bool store;
        bool yes;
        bool restore;
        ActionOutcome outcome;
        const char* note;
    };
    for (const Row& row : {Row{"poke, no", true, false, false, ActionOutcome::Refused, nullptr},
                           Row{"poke, yes", true, true, false, ActionOutcome::Done, "is not recorded in the card history."},
                           Row{"poke, --no-history", false, false, false, ActionOutcome::Done, "(--no-history)"},
                           Row{"restore, no", true, false, true, ActionOutcome::Refused, nullptr}}) {
        SCOPED_TRACE(row.what);
        TempFolder other;
        // A folder where the store should be: nothing can be recorded there.
        HistoryRig h(Mainframe(image), other.path());
        const std::string file = (h.folder.path() / "card.bin").string();
        ASSERT_TRUE(ScanChannels(h.rig.instrument, h.rig.channels, h.rig.rows, h.rig.observer));
        if (row.restore) {
            ASSERT_TRUE(SaveCardImage(h.rig.instrument, h.rig.channels[kChannel], kChannel, file).ok());
            h.rig.Switch(Mainframe(TestImages::valid(7, {"gain"})));
        }
        h.answer.yes = row.yes;
        h.answer.sent = [&] { return h.rig.Sent().size(); };
        h.rig.scenario->clearBusLog();
        CHistoryRun run(row.store ? &h.store : nullptr, h.rig.instrument, "test", "write", h.rig.observer);
        const ActionOutcome outcome = row.restore ? RestoreCardImage(h.Front(run), kChannel, file).outcome
                                                  : PokeCardByte(h.Front(run), kChannel, kGainByte, 0x00).outcome;
        EXPECT_EQ(outcome, row.outcome);
        EXPECT_EQ(h.rig.CountSent(">") > 0, row.outcome == ActionOutcome::Done);
        if (row.store) {
            ASSERT_EQ(h.answer.asked, std::vector<ConfirmQuestion>{ConfirmQuestion::UnrecordedWrite});
            // Asked before the card is read for the write: an answer may take minutes.
            EXPECT_EQ(h.answer.sentWhenAsked, 0u);
            EXPECT_NE(h.answer.said[0].find(other.path().string() + " is a folder, not a file."), std::string::npos)
                << h.answer.said[0];
        }
        if (row.note != nullptr) {
            ASSERT_EQ(h.rig.observer.messages.size(), 1u);
            EXPECT_NE(h.rig.observer.messages[0].find(row.note), std::string::npos) << h.rig.observer.messages[0];
        }
    }
}
