// The list's context menu for EEPROM images on the simulated mainframe: how it
// opens, a restore cancelled by Esc and resumed, the confirmation of a refusal
// that may be overridden, and the comparison.

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QTest>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>

#include "../cli/TempFolder.h"
#include "CChannelActions.h"
#include "CSqliteHistoryStore.h"
#include "ChannelColumns.h"
#include "ChannelStatus.h"
#include "EepromImageFile.h"
#include "TestScenarios.h"
#include "UiHarness.h"
#include "resource.h"

using valdina::test::SimScenario;

namespace {

enum MenuEntry { kSave = 0, kCompare = 1, kRestore = 2, kVerify = 3, kSaveAll = 5 };

void ScanOnly(QWidget* dialog)
{
    dialog->findChild<QAbstractButton*>("IDC_VERIFY_NOW")->setChecked(false);
    ClickOk(dialog);
}

// The small mainframe with every card's image good, or as it comes (channel 17
// erased, channel 37's gain block corrupted), one transaction taking `latencyUs`.
nlohmann::json Mainframe(bool allGood, int latencyUs = 0)
{
    nlohmann::json mainframe = SmallMainframe();
    if (allGood) {
        for (nlohmann::json& card : mainframe["cards"]) {
            card.erase("broken");
            card.erase("image");
        }
    }
    mainframe["latency_us"] = latencyUs;
    return mainframe;
}

std::size_t Writes(const SimScenario& scenario)
{
    std::size_t count = 0;
    for (const std::string& command : scenario.busLog().commands())
        count += command[0] == '>';
    return count;
}

struct ImageWindow {
    ImageWindow() : scenario(std::in_place, Mainframe(true)), window(ScanOnly)
    {
        file = (folder.path() / "card.bin").string();
        CChannelActions::Prompts prompts;
        prompts.saveFile = [this](const std::string&, std::string& path) { path = file; return true; };
        prompts.openFile = [this](std::string& path) { path = file; return true; };
        prompts.confirm = [this](const std::string& why) { asked.push_back(why); return false; };
        prompts.showDifferences = [this](const std::string& text) { differences = text; };
        window.View().Actions().SetPrompts(prompts);
    }
    void Run(MenuEntry entry, int channel)
    {
        window.SelectChannels({channel});
        window.View().Actions().Menu()->actions().at(entry)->trigger();
        DrainEvents();
    }
    std::string RowText(int channel, int column) const
    {
        return window.View().topLevelItem(window.RowOf(channel))->text(column).toStdString();
    }

    TempFolder folder;
    std::optional<SimScenario> scenario;
    CWindowHarness window;
    std::string file;
    std::vector<std::string> asked;
    std::string differences;
};

} // namespace

TEST(ImageMenu, OpensByRightClickMenuKeyAndShiftF10)
{
    SimScenario scenario(Mainframe(true));
    CWindowHarness window(ScanOnly);
    window.SelectChannels({37});
    QWidget* viewport = window.View().viewport();
    const QPoint onRow = window.View().visualItemRect(window.View().topLevelItem(window.RowOf(37))).center();
    const std::vector<std::pair<const char*, std::function<void()>>> ways{
        {"right click",
         [&] {
             QContextMenuEvent click(QContextMenuEvent::Mouse, onRow, viewport->mapToGlobal(onRow));
             QApplication::sendEvent(viewport, &click);
         }},
        {"Shift+F10", [&] { window.Key(Qt::Key_F10, Qt::ShiftModifier); }},
        {"Menu key pressed", [&] { window.Key(Qt::Key_Menu); }},
    };
    for (const auto& [what, open] : ways) {
        SCOPED_TRACE(what);
        open();
        QMenu* menu = window.View().Actions().Menu();
        EXPECT_TRUE(menu->isVisible());
        for (QAction* action : menu->actions())
            EXPECT_TRUE(action->isSeparator() || action->isEnabled()) << action->text().toStdString();
        menu->hide();
    }
}

TEST(ImageMenu, RestoreCancelledByEscResumesAndTheRowShowsTheVerdict)
{
    ImageWindow w;
    w.Run(kSave, 17);
    ASSERT_EQ(std::filesystem::file_size(w.file), 512u);
    w.scenario.reset();
    w.scenario.emplace(Mainframe(false, 1000));
    w.window.Command(ID_VERIFY_ALL);
    ASSERT_EQ(w.RowText(17, kColumnStatus), "Fail");

    // Esc right after the third write: that byte is read back, no further one is written.
    bool cursorUp = false;
    BusWatcher bus([&](const TransactionRecord& record) {
        if (record.command[0] == '>' && Writes(*w.scenario) == 3) {
            cursorUp = QApplication::overrideCursor() != nullptr;
            // Delivered at once, not at the pump's next frame, so the stop lands at this byte.
            QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(&w.window.View(), &esc);
        }
    });
    w.window.View().Pump().SetNext(&bus);
    w.Run(kRestore, 17);
    w.window.View().Pump().SetNext(nullptr);
    EXPECT_TRUE(cursorUp);
    EXPECT_EQ(Writes(*w.scenario), 3u);
    EXPECT_EQ(w.scenario->busLog().commands().back()[0], '<');
    EXPECT_EQ(w.RowText(17, kColumnStatus), "unknown") << "a stopped restore claims nothing";
    EXPECT_EQ(w.RowText(17, kColumnError).rfind("restore cancelled: 3 of ", 0), 0u) << w.RowText(17, kColumnError);
    EXPECT_NE(w.window.Frame().MessageText().toStdString().find("cancelled: 3 of"), std::string::npos);

    w.Run(kRestore, 17);
    EXPECT_EQ(w.RowText(17, kColumnStatus), "Good");
    EXPECT_EQ(w.RowText(17, kColumnError), "");
    EXPECT_EQ(w.window.app.Channels()[17].m_nStatus, StatusGood);
    EXPECT_NE(w.window.Frame().MessageText().toStdString().find("Channel 17 restored"), std::string::npos);
    EXPECT_TRUE(w.window.messages.shown.empty());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    w.Run(kCompare, 17);
    EXPECT_NE(w.differences.find("The images are the same."), std::string::npos) << w.differences;

    // The card history keeps the save and both restores' writes with how each run ended.
    CSqliteHistoryStore store(ChooseHistoryLocation(""), {CSqliteHistoryStore::Mode::Read});
    HistoryQuery query;
    query.serial = "B1234567";
    const std::vector<HistoryEntry> entries = store.Query(query).value_or(std::vector<HistoryEntry>{});
    const auto any = [&](auto&& matches) { return std::ranges::any_of(entries, matches); };
    EXPECT_TRUE(any([&](const HistoryEntry& e) { return e.kind == HistoryEntry::Kind::Save && e.file == w.file; }));
    EXPECT_TRUE(any([](const HistoryEntry& e) {
        return e.writeKind == "restore" && e.runOutcome.rfind("cancelled: ", 0) == 0 && e.byte.readBack;
    })) << store.Problem();
    EXPECT_TRUE(any([](const HistoryEntry& e) { return e.writeKind == "restore" && e.runOutcome == "done"; }));
}

TEST(ImageMenu, VerifyJudgesTheSelectedCardsAlone)
{
    ImageWindow w;
    w.scenario.reset();
    w.scenario.emplace(Mainframe(false));
    w.window.SelectChannels({17, 40});
    w.window.View().Actions().Menu()->actions().at(kVerify)->trigger();
    DrainEvents();
    EXPECT_EQ(w.RowText(17, kColumnStatus), "Fail");
    EXPECT_EQ(w.RowText(40, kColumnStatus), "Good");
    EXPECT_EQ(w.RowText(37, kColumnStatus), "unknown") << "not selected, not verified";
}

TEST(ImageMenu, ACardSwappedAfterTheScanIsConfirmedBeforeARestoreWritesIntoIt)
{
    ImageWindow w;
    w.Run(kSave, 37);
    // Refresh again; its QuerySN of channel 37 is the last the old card answers.
    w.scenario.reset();
    w.scenario.emplace(SmallMainframe({{{"command", "QuerySN"}, {"channel", 37}, {"kind", "swap"},
                                        {"serial", "S0000037"}, {"times", 1}}}));
    w.window.Command(ID_REFRESH);
    ASSERT_EQ(w.RowText(37, kColumnSerial), "a1234567");
    w.scenario->clearBusLog();
    w.Run(kRestore, 37);
    ASSERT_EQ(w.asked.size(), 1u);
    EXPECT_NE(w.asked[0].find("Channel 37 now holds serial S0000037, not a1234567"), std::string::npos) << w.asked[0];
    EXPECT_NE(w.asked[0].find("saved from serial a1234567; the card in channel 37 has serial S0000037."),
              std::string::npos) << w.asked[0];
    EXPECT_EQ(Writes(*w.scenario), 0u);
    EXPECT_EQ(w.RowText(37, kColumnSerial), "S0000037");

    // Saving over the pair asks once, naming both files; No keeps them.
    w.Run(kSave, 37);
    ASSERT_EQ(w.asked.size(), 2u);
    EXPECT_NE(w.asked[1].find(w.file + ", " + ImageRecordPath(w.file) + " exist already."), std::string::npos)
        << w.asked[1];
}

TEST(ImageMenu, RefusalsAreSaidOrConfirmedBeforeAnythingIsWritten)
{
    ImageWindow w;
    w.Run(kSave, 37);
    // Into another card: the confirmation names both serials; No writes nothing.
    w.scenario->clearBusLog();
    w.Run(kRestore, 40);
    ASSERT_EQ(w.asked.size(), 1u);
    EXPECT_NE(w.asked[0].find("saved from serial a1234567; the card in channel 40 has serial B123."), std::string::npos)
        << w.asked[0];
    EXPECT_EQ(Writes(*w.scenario), 0u);

    // A file that is no image is refused outright, with no question.
    std::ofstream(w.file, std::ios::trunc) << "short";
    w.Run(kRestore, 37);
    EXPECT_EQ(w.asked.size(), 1u);
    ASSERT_EQ(w.window.messages.shown.size(), 1u);
    EXPECT_NE(w.window.messages.shown[0].text.find("holds 5 bytes; an EEPROM image is exactly 512. Nothing was written."),
              std::string::npos);
    EXPECT_EQ(Writes(*w.scenario), 0u);
}
