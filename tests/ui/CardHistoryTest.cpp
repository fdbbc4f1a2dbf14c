// The card history from the window: what its actions record into a real SQLite file,
// the Card History dialog and its CSV export, and a store that cannot record.

#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTreeWidget>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

#include "CChannelActions.h"
#include "ChannelColumns.h"
#include "ChannelStatus.h"
#include "IOperatorConfirm.h"
#include "ResourceImages.h"
#include "TestImages.h"
#include "TestScenarios.h"
#include "TextFormat.h"
#include "UiHarness.h"
#include "resource.h"

using valdina::test::SimScenario;
using valdina::test::TestImages;

namespace {

constexpr int kCardHistoryItem = 7;   // after Save All and a separator

int WriteFrames(const SimScenario& scenario)
{
    int count = 0;
    for (const std::string& command : scenario.busLog().commands())
        count += command.rfind(">", 0) == 0;
    return count;
}

void Poke(CWindowHarness& window, int channel, const char* address, const char* byte)
{
    ASSERT_GE(window.RowOf(channel), 0);
    window.SelectChannels({channel});
    CModalDriver driver([&](QWidget* dialog) {
        dialog->findChild<QLineEdit*>("IDC_ADDRESS")->setText(address);
        dialog->findChild<QLineEdit*>("IDC_DATA")->setText(byte);
        ClickOk(dialog);
    });
    window.Key(Qt::Key_M, Qt::ControlModifier);
    ASSERT_TRUE(driver.Fired());
}

QImage Lamp(const QIcon& icon)
{
    return icon.pixmap(kLampSize, kLampSize).toImage();
}

} // namespace

TEST(CardHistory, VerifyPokeVerifyShowGoodThePokeThenFailNewestFirstAndExportAsCsv)
{
    constexpr int kChannel = 21;
    const TestImages::Image image = TestImages::valid(21);
    const unsigned before = image[0x10];
    const unsigned after = before ^ 0x5A;
    SimScenario scenario(
        nlohmann::json{{"base", "empty"}, {"cards", nlohmann::json::array({SimScenario::imageCard(kChannel, image)})}});
    CWindowHarness window(ClickOk);   // scan, then Verify All: Good
    Poke(window, kChannel, "0x10", FormatText("0x%02X", after).c_str());
    window.Command(ID_VERIFY_ALL);     // a block no longer sums: Fail

    const TempFolder folder;
    const std::filesystem::path csv = folder.path() / "history.csv";
    const std::filesystem::path nowhere = folder.path() / "missing" / "history.csv";
    // The export asked twice: into a file, then into a folder that does not exist.
    std::vector<std::filesystem::path> targets{nowhere, csv};
    CChannelActions::Prompts prompts;
    std::string suggested;
    prompts.saveFile = [&](const std::string& name, std::string& path) {
        suggested = name;
        path = targets.back().string();
        targets.pop_back();
        return true;
    };
    window.View().Actions().SetPrompts(prompts);
    std::vector<std::string> whats, commands;
    std::vector<QImage> lamps;
    int scans = 0;
    QString source;
    window.SelectChannels({kChannel});
    CModalDriver driver([&](QWidget* dialog) {
        source = dialog->findChild<QLabel*>("IDC_HISTORY_SOURCE")->text();
        const QTreeWidget* list = dialog->findChild<QTreeWidget*>("IDC_HISTORY_LIST");
        for (int row = 0; row < list->topLevelItemCount(); ++row) {
            const QTreeWidgetItem* item = list->topLevelItem(row);
            // The startup's scan may share its millisecond with the first Verify All.
            scans += item->text(3) == "Refresh";
            if (item->text(3) != "Refresh") {
                whats.push_back(item->text(1).toStdString());
                commands.push_back(item->text(3).toStdString());
                lamps.push_back(Lamp(item->icon(1)));
            }
        }
        for (int twice = 0; twice < 2; ++twice)
            dialog->findChild<QAbstractButton*>("IDC_HISTORY_EXPORT")->click();
        ClickCancel(dialog);
    });
    QAction* item = window.View().Actions().Menu()->actions().at(kCardHistoryItem);
    ASSERT_EQ(item->text(), "Card &History...");
    item->trigger();
    DrainEvents();
    ASSERT_TRUE(driver.Fired());

    EXPECT_NE(source.indexOf(QString::fromStdString(window.history.Path().string())), -1) << source.toStdString();
    EXPECT_EQ(scans, 1);
    const std::string poke = FormatText("poke 0x0010: 0x%02X -> 0x%02X, read back 0x%02X", before, after, after);
    EXPECT_EQ(whats, (std::vector<std::string>{"Fail: invalid checksum (Header)", poke, "Good"}));
    EXPECT_EQ(commands, (std::vector<std::string>{"Verify All", "Poke", "Verify All"}));
    const std::vector<QIcon> stateLamps = StateLampIcons();
    ASSERT_EQ(lamps.size(), 3u);
    EXPECT_EQ(lamps[0], Lamp(stateLamps[StatusFail]));
    EXPECT_EQ(lamps[2], Lamp(stateLamps[StatusGood]));
    for (const QIcon& lamp : stateLamps)
        EXPECT_NE(lamps[1], Lamp(lamp));   // a write has no state

    const std::string serial = window.View().topLevelItem(window.RowOf(kChannel))->text(kColumnSerial).toStdString();
    EXPECT_EQ(suggested, "history-" + serial + ".csv");
    const std::string text = ReadFile(csv);
    EXPECT_EQ(text.rfind("when,kind,", 0), 0u) << text;
    EXPECT_NE(text.find(FormatText(",poke,16,%u,%u,%u,written,", before, after, after)), std::string::npos) << text;
    EXPECT_NE(text.find(",Verify All,done,21,"), std::string::npos) << text;
    ASSERT_EQ(window.messages.shown.size(), 1u);
    EXPECT_NE(window.messages.shown[0].text.find(nowhere.string()), std::string::npos) << window.messages.shown[0].text;
}

// A store that cannot record: a poke asks first, No writes nothing, Yes writes and the
// message pane says it went unrecorded; a Verify All shows its verdicts as ever, with
// one note in the pane and no box; the store is left as it was.
TEST(CardHistory, StoreThatCannotRecordAsksBeforeAPokeAndLeavesPassesAlone)
{
    struct Case {
        const char* what;
        bool folder;   // else a file that is not a database
        bool answer;
    };
    const std::vector<Case> cases{
        {"a folder, No", true, false},
        {"a folder, Yes", true, true},
        {"not a database, No", false, false},
        {"not a database, Yes", false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const TempFolder folder;
        std::filesystem::path store = folder.path();
        const std::string junk = "Not a card history, and never to be overwritten.\n";
        if (!c.folder) {
            store /= "history.sqlite";
            std::ofstream(store, std::ios::binary) << junk;
        }
        SimScenario scenario(SmallMainframe());
        CWindowHarness window(ClickOk, false, store);
        std::vector<std::string> asked;
        CChannelActions::Prompts prompts;
        prompts.confirm = [&](const std::string& why) {
            asked.push_back(why);
            return c.answer;
        };
        window.View().Actions().SetPrompts(prompts);

        // The startup's Verify All: verdicts as ever, one note, no box.
        const std::string pane = window.Frame().MessageText().toStdString();
        EXPECT_EQ(window.ColumnTexts(kColumnStatus)[static_cast<std::size_t>(window.RowOf(17))], "Fail");
        EXPECT_EQ(window.ColumnTexts(kColumnStatus)[static_cast<std::size_t>(window.RowOf(2))], "Good");
        EXPECT_EQ(pane.find("not recorded in the card history"), pane.rfind("not recorded in the card history")) << pane;
        EXPECT_NE(pane.find(store.string()), std::string::npos) << pane;
        // The note is cut at the pane's edge, never widening the window.
        EXPECT_LT(window.Frame().minimumSizeHint().width(),
                  window.Frame().fontMetrics().horizontalAdvance(QString::fromStdString(pane)));
        EXPECT_TRUE(window.messages.shown.empty());

        scenario.clearBusLog();
        Poke(window, 2, "0x10", "0x5A");
        ASSERT_EQ(asked.size(), 1u);
        EXPECT_NE(asked[0].find(ConfirmQuestionText(ConfirmQuestion::UnrecordedWrite)), std::string::npos) << asked[0];
        EXPECT_NE(asked[0].find(store.string()), std::string::npos) << asked[0];
        EXPECT_EQ(WriteFrames(scenario), c.answer ? 1 : 0);
        const std::string after = window.Frame().MessageText().toStdString();
        EXPECT_EQ(after.find("The write into channel 2 is not recorded") != std::string::npos, c.answer) << after;
        // Card History... says why it has nothing to show.
        QString shown;
        CModalDriver dialog([&](QWidget* history) {
            shown = history->findChild<QLabel*>("IDC_HISTORY_SOURCE")->text();
            ClickCancel(history);
        });
        window.View().Actions().OnCardHistory();
        EXPECT_EQ(shown.toStdString().rfind("The card history " + store.string(), 0), 0u) << shown.toStdString();
        if (c.folder)
            EXPECT_TRUE(std::filesystem::is_empty(store));
        else
            EXPECT_EQ(ReadFile(store), junk);
    }
}
