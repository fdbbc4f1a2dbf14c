// Cancel during a scan or pass on a slow bus: Esc, the Cancel button and the close
// box stop it at the next card; other input stays held.

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "ChannelStatus.h"
#include "TestScenarios.h"
#include "UiHarness.h"
#include "resource.h"

using valdina::test::SimScenario;

namespace {
// Every card takes a good part of a second: room for input in the middle of one.
nlohmann::json SlowMainframe()
{
    nlohmann::json mainframe = SmallMainframe();
    mainframe["latency_us"] = 1000;
    return mainframe;
}

void ScanOnly(QWidget* dialog)
{
    dialog->findChild<QAbstractButton*>("IDC_VERIFY_NOW")->setChecked(false);
    ClickOk(dialog);
}

size_t CountSent(const SimScenario& scenario, const std::string& prefix)
{
    size_t count = 0;
    for (const std::string& command : scenario.busLog().commands())
        count += command.rfind(prefix, 0) == 0;
    return count;
}

// Runs command `id`, doing `action` once right after the transaction `command`.
bool CommandActingAt(CWindowHarness& window, unsigned id, const std::string& command, const std::function<void()>& action)
{
    bool fired = false;
    BusWatcher bus([&](const TransactionRecord& record) {
        if (!fired && record.command == command) {
            fired = true;
            action();
        }
    });
    window.View().Pump().SetNext(&bus);
    window.Command(id);
    window.View().Pump().SetNext(nullptr);
    return fired;
}
}

TEST(PassCancel, EscStopsVerifyAllAfterTheCardInProgressAndOtherKeysAreHeld)
{
    SimScenario scenario(SlowMainframe());
    CWindowHarness window(ScanOnly);
    ASSERT_EQ(window.RowChannels().size(), 6u);
    scenario.clearBusLog();
    bool buttonShown = false;
    ASSERT_TRUE(CommandActingAt(window, ID_VERIFY_ALL, "S 2", [&] {
        buttonShown = window.Frame().CancelButton()->isVisible();
        // Refresh by its shortcut, then Esc, as the window system would deliver them.
        QTest::keyClick(&window.View(), Qt::Key_F5);
        QCoreApplication::postEvent(&window.View(), new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    }));
    EXPECT_TRUE(buttonShown);
    EXPECT_FALSE(window.Frame().CancelButton()->isVisible());

    // Channel 2 was finished and judged; nothing after it was touched.
    EXPECT_EQ(window.app.Channels()[2].m_nStatus, StatusGood);
    for (int channel : {17, 37, 40, 255}) {
        EXPECT_EQ(window.app.Channels()[static_cast<size_t>(channel)].m_nStatus, StatusUnknown) << channel;
        EXPECT_EQ(window.View().topLevelItem(window.RowOf(channel))->text(0), "unknown");
    }
    EXPECT_EQ(CountSent(scenario, "S 17"), 0u);
    EXPECT_EQ(CountSent(scenario, "Q2"), 0u) << "the held F5 ran a scan";
    EXPECT_TRUE(window.messages.shown.empty());
    EXPECT_EQ(window.Frame().MessageText(), "Verify All cancelled after 2 of 6 cards");

    // The note stays until the next command.
    window.Key(Qt::Key_Escape);
    EXPECT_EQ(window.Frame().MessageText(), "Verify All cancelled after 2 of 6 cards");
    window.Command(ID_GPIB_DEVICE_CLEAR);
    EXPECT_EQ(window.Frame().MessageText(), "Ready");
}

TEST(PassCancel, CancelButtonEndsAScanLikeABusFailureWithoutAMessage)
{
    SimScenario scenario(SlowMainframe());
    CWindowHarness window(ScanOnly);
    scenario.clearBusLog();
    ASSERT_TRUE(CommandActingAt(window, ID_REFRESH, "S 17",
                                [&] { QTest::mouseClick(window.Frame().CancelButton(), Qt::LeftButton); }));
    EXPECT_EQ(window.RowChannels(), (std::vector<int>{0, 2, 17}));
    for (int channel : {37, 40, 255})
        EXPECT_EQ(window.app.Channels()[static_cast<size_t>(channel)].m_nStatus, StatusUnknown) << channel;
    EXPECT_EQ(CountSent(scenario, "S 37"), 0u);
    EXPECT_TRUE(window.messages.shown.empty());
    EXPECT_EQ(window.Frame().MessageText(), "Refresh cancelled after 3 of 6 cards");
}

TEST(PassCancel, CloseBoxDuringAPassCancelsItThenClosesTheWindow)
{
    SimScenario scenario(SlowMainframe());
    CWindowHarness window(ScanOnly);
    scenario.clearBusLog();
    bool stillOpen = false;
    ASSERT_TRUE(CommandActingAt(window, ID_VERIFY_ALL, "S 0", [&] {
        window.Frame().close();
        stillOpen = window.Frame().isVisible();
    }));
    EXPECT_TRUE(stillOpen);
    EXPECT_FALSE(window.Frame().isVisible());
    EXPECT_EQ(window.app.Channels()[0].m_nStatus, StatusGood);
    EXPECT_EQ(window.app.Channels()[2].m_nStatus, StatusUnknown);
    EXPECT_EQ(CountSent(scenario, "S 2"), 0u);
}

TEST(PassCancel, EscOrCloseDuringTheLastCardOfTheStartupScanPostsNoVerifyAll)
{
    struct Case {
        const char* how;
        bool closes;
    };
    for (const Case c : {Case{"Esc", false}, Case{"close box", true}}) {
        SCOPED_TRACE(c.how);
        SimScenario scenario(SmallMainframe());
        CMainFrame* frame = nullptr;
        bool fired = false;
        // Delivered at once, as the pump would between two transactions of a slow card.
        BusWatcher bus([&](const TransactionRecord& record) {
            if (fired || record.command != "S 255")
                return;
            fired = true;
            if (c.closes)
                frame->close();
            else
                QTest::keyClick(frame->View(), Qt::Key_Escape);
        });
        // Verify All stays ticked; the scan is watched from the prompt on.
        CWindowHarness window([&](QWidget* dialog) {
            frame = qobject_cast<CMainFrame*>(dialog->parentWidget());
            frame->View()->Pump().SetNext(&bus);
            ClickOk(dialog);
        });
        window.View().Pump().SetNext(nullptr);
        ASSERT_TRUE(fired);
        EXPECT_EQ(window.RowChannels().size(), 6u);
        EXPECT_EQ(CountSent(scenario, "<"), 0u) << "Verify All ran after the cancel";
        EXPECT_EQ(window.Frame().isVisible(), !c.closes);
        if (!c.closes) {
            EXPECT_EQ(window.Frame().MessageText(), "Refresh cancelled after 6 of 6 cards");
        }
    }
}
