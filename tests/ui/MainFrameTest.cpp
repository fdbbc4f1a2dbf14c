// The main window: menu, shortcuts, routing and greying, bars, prompts, About box.

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QEnterEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QRegularExpression>
#include <QTest>
#include <gtest/gtest.h>

#include "StringTable.h"
#include "TestScenarios.h"
#include "UiHarness.h"
#include "resource.h"

using valdina::test::SimScenario;

namespace {
struct MenuLine {
    std::string text;   // empty: separator
    bool enabled;
};

std::vector<MenuLine> MenuLines(QMenu* menu)
{
    emit menu->aboutToShow();
    std::vector<MenuLine> lines;
    for (QAction* action : menu->actions())
        lines.push_back({action->isSeparator() ? std::string() : action->text().toStdString(), action->isEnabled()});
    return lines;
}

int CountCommands(const SimScenario& scenario)
{
    return static_cast<int>(scenario.busLog().commands().size());
}
}

TEST(MainFrame, MenusShowTheirItemsGreyingEditAndOnlyRefreshShowsAKey)
{
    SimScenario scenario(MainframeOff());
    CWindowHarness window(nullptr);
    const QList<QAction*> popups = window.Frame().menuBar()->actions();
    ASSERT_EQ(popups.size(), 4);
    EXPECT_EQ(popups[0]->text(), "&File");
    EXPECT_EQ(popups[1]->text(), "&Edit");
    EXPECT_EQ(popups[2]->text(), "&View");
    EXPECT_EQ(popups[3]->text(), "&Help");

    const auto file = MenuLines(popups[0]->menu());
    ASSERT_EQ(file.size(), 6u);
    EXPECT_EQ(file[0].text, "&Refresh\tF5");
    EXPECT_EQ(file[1].text, "Verify &All");
    EXPECT_EQ(file[2].text, "GPIB Device Clear");
    EXPECT_EQ(file[3].text, "");
    EXPECT_EQ(file[4].text, "Export Report");
    EXPECT_EQ(file[5].text, "E&xit");
    for (const MenuLine& line : file)
        EXPECT_TRUE(line.enabled) << line.text;

    const auto edit = MenuLines(popups[1]->menu());
    ASSERT_EQ(edit.size(), 5u);
    EXPECT_EQ(edit[0].text, "&Undo\tCtrl+Z");
    EXPECT_EQ(edit[2].text, "Cu&t\tCtrl+X");
    EXPECT_EQ(edit[3].text, "&Copy\tCtrl+C");
    EXPECT_EQ(edit[4].text, "&Paste\tCtrl+V");
    for (int i : {0, 2, 3, 4})
        EXPECT_FALSE(edit[static_cast<size_t>(i)].enabled) << edit[static_cast<size_t>(i)].text;

    const auto view = MenuLines(popups[2]->menu());
    ASSERT_EQ(view.size(), 2u);
    EXPECT_EQ(view[0].text, "&Toolbar");
    EXPECT_EQ(view[1].text, "&Status Bar");
    const auto help = MenuLines(popups[3]->menu());
    ASSERT_EQ(help.size(), 1u);
    EXPECT_EQ(help[0].text, "&About Valdina...");

    // Poke is reachable by its shortcut only.
    for (QAction* popup : popups) {
        for (QAction* action : popup->menu()->actions())
            EXPECT_NE(action->data().toUInt(), ID_POKE);
    }
    for (QAction* action : window.Frame().ToolBar()->actions())
        EXPECT_NE(action->data().toUInt(), ID_POKE);
}

TEST(MainFrame, RoutingOffersCommandsToViewFrameAndApplication)
{
    SimScenario scenario(MainframeOff());
    CWindowHarness window(nullptr);
    for (unsigned id : {ID_REFRESH, ID_VERIFY_ALL, ID_POKE, ID_EXPORT_REPORT, ID_GPIB_DEVICE_CLEAR}) {
        EXPECT_TRUE(window.View().HandlesCommand(id)) << id;
        EXPECT_TRUE(window.Frame().HandlesCommand(id)) << id;
    }
    EXPECT_FALSE(window.View().HandlesCommand(ID_VIEW_TOOLBAR));
    EXPECT_TRUE(window.Frame().HandlesCommand(ID_VIEW_TOOLBAR));
    EXPECT_FALSE(window.View().HandlesCommand(ID_APP_ABOUT));
    EXPECT_TRUE(window.app.HandlesCommand(ID_APP_ABOUT));
    EXPECT_TRUE(window.Frame().HandlesCommand(ID_APP_ABOUT));
    for (unsigned id : {ID_EDIT_UNDO, ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE, ID_NEXT_PANE, ID_PREV_PANE})
        EXPECT_FALSE(window.Frame().HandlesCommand(id)) << id;

    // Toolbar: Cut, Copy, Paste grey; About, Device Clear and Export live.
    std::vector<std::pair<unsigned, bool>> buttons;
    for (QAction* action : window.Frame().ToolBar()->actions()) {
        if (!action->isSeparator())
            buttons.emplace_back(action->data().toUInt(), action->isEnabled());
    }
    const std::vector<std::pair<unsigned, bool>> expected{
        {ID_EDIT_CUT, false}, {ID_EDIT_COPY, false}, {ID_EDIT_PASTE, false},
        {ID_APP_ABOUT, true}, {ID_GPIB_DEVICE_CLEAR, true}, {ID_EXPORT_REPORT, true}};
    EXPECT_EQ(buttons, expected);

    // Separators after Paste and after Device Clear.
    std::vector<unsigned> layout;
    for (QAction* action : window.Frame().ToolBar()->actions())
        layout.push_back(action->isSeparator() ? ID_SEPARATOR : action->data().toUInt());
    EXPECT_EQ(layout, (std::vector<unsigned>{ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE, ID_SEPARATOR, ID_APP_ABOUT,
                                             ID_GPIB_DEVICE_CLEAR, ID_SEPARATOR, ID_EXPORT_REPORT}));
}

TEST(MainFrame, ShortcutsRunTheirCommandsAndGreyOnesAreInert)
{
    SimScenario scenario(SmallMainframe());
    CWindowHarness window;
    ASSERT_TRUE(window.PromptShown());
    ASSERT_EQ(window.View().topLevelItemCount(), 0);

    window.Key(Qt::Key_F5);
    EXPECT_EQ(window.RowChannels().size(), SmallMainframeCards().size());

    // Ctrl+M opens Poke for the selected row.
    window.SelectChannels({17});
    QString dialogTitle;
    {
        CModalDriver poke([&](QWidget* dialog) {
            dialogTitle = dialog->windowTitle();
            ClickCancel(dialog);
        });
        window.Key(Qt::Key_M, Qt::ControlModifier);
    }
    EXPECT_EQ(dialogTitle, "Poke");

    QApplication::clipboard()->setText(QStringLiteral("untouched"));
    const auto rowsBefore = window.RowChannels();
    const int commandsBefore = CountCommands(scenario);
    const std::vector<std::pair<int, Qt::KeyboardModifiers>> inert{
        {Qt::Key_Z, Qt::ControlModifier}, {Qt::Key_X, Qt::ControlModifier}, {Qt::Key_C, Qt::ControlModifier},
        {Qt::Key_V, Qt::ControlModifier}, {Qt::Key_Backspace, Qt::AltModifier}, {Qt::Key_Delete, Qt::ShiftModifier},
        {Qt::Key_Insert, Qt::ControlModifier}, {Qt::Key_Insert, Qt::ShiftModifier}, {Qt::Key_F6, Qt::NoModifier},
        {Qt::Key_F6, Qt::ShiftModifier}};
    bool anyDialog = false;
    {
        CModalDriver unexpected([&](QWidget* dialog) {
            anyDialog = true;
            dialog->close();
        });
        for (const auto& [key, modifiers] : inert)
            window.Key(key, modifiers);
    }
    EXPECT_FALSE(anyDialog);
    EXPECT_EQ(QApplication::clipboard()->text(), "untouched");
    EXPECT_EQ(window.RowChannels(), rowsBefore);
    EXPECT_EQ(CountCommands(scenario), commandsBefore);
    EXPECT_TRUE(window.messages.shown.empty());
}

TEST(MainFrame, ViewMenuTogglesBarsWithCheckMarks)
{
    SimScenario scenario(MainframeOff());
    CWindowHarness window(nullptr);
    QAction* toolbar = window.Frame().CommandAction(ID_VIEW_TOOLBAR);
    QAction* statusBar = window.Frame().CommandAction(ID_VIEW_STATUS_BAR);
    ASSERT_TRUE(toolbar && statusBar);
    EXPECT_TRUE(toolbar->isChecked());
    EXPECT_TRUE(statusBar->isChecked());

    toolbar->trigger();
    DrainEvents();
    EXPECT_FALSE(window.Frame().ToolBar()->isVisible());
    EXPECT_FALSE(toolbar->isChecked());
    statusBar->trigger();
    DrainEvents();
    EXPECT_FALSE(window.Frame().StatusBar()->isVisible());
    EXPECT_FALSE(statusBar->isChecked());

    toolbar->trigger();
    statusBar->trigger();
    DrainEvents();
    EXPECT_TRUE(window.Frame().ToolBar()->isVisible());
    EXPECT_TRUE(toolbar->isChecked());
    EXPECT_TRUE(window.Frame().StatusBar()->isVisible());
    EXPECT_TRUE(statusBar->isChecked());

    // The toolbar docks at any edge and floats.
    QToolBar* bar = window.Frame().ToolBar();
    EXPECT_EQ(window.Frame().toolBarArea(bar), Qt::TopToolBarArea);
    EXPECT_TRUE(bar->isMovable());
    EXPECT_TRUE(bar->isFloatable());
    for (Qt::ToolBarArea area : {Qt::LeftToolBarArea, Qt::BottomToolBarArea, Qt::RightToolBarArea, Qt::TopToolBarArea}) {
        EXPECT_TRUE(bar->isAreaAllowed(area));
        window.Frame().addToolBar(area, bar);
        EXPECT_EQ(window.Frame().toolBarArea(bar), area);
    }
}

TEST(MainFrame, StatusBarShowsThePromptOfTheButtonUnderThePointer)
{
    SimScenario scenario(MainframeOff());
    CWindowHarness window(nullptr);
    EXPECT_EQ(window.Frame().MessageText(), "Ready");

    QAction* exportAction = window.Frame().CommandAction(ID_EXPORT_REPORT);
    auto* button = qobject_cast<QToolButton*>(window.Frame().ToolBar()->widgetForAction(exportAction));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->toolTip(), "Write of report of the displayed data");

    const QPointF inside(4, 4);
    QEnterEvent enter(inside, button->mapTo(&window.Frame(), inside), button->mapToGlobal(inside));
    QApplication::sendEvent(button, &enter);
    EXPECT_EQ(window.Frame().MessageText(), "Write of report of the displayed data");

    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(button, &leave);
    EXPECT_EQ(window.Frame().MessageText(), "Ready");

    // The highlighted menu item's prompt, until the menu closes.
    QMenu* viewMenu = window.Frame().menuBar()->actions()[2]->menu();
    viewMenu->popup(window.Frame().mapToGlobal(QPoint(20, 20)));
    viewMenu->setActiveAction(window.Frame().CommandAction(ID_VIEW_STATUS_BAR));
    EXPECT_EQ(window.Frame().MessageText(), "Show or hide the status bar");
    viewMenu->hide();
    DrainEvents();
    EXPECT_EQ(window.Frame().MessageText(), "Ready");

    // The lock-key panes follow the keys where the platform tells, and are blank here.
    const auto panes = window.Frame().StatusBar()->findChildren<QLabel*>(QRegularExpression("^ID_INDICATOR_"));
    EXPECT_EQ(panes.size(), 3);
    for (QLabel* pane : panes)
        EXPECT_TRUE(pane->text().isEmpty());
}

TEST(MainFrame, TitleStaysAndAboutOpensFromMenuAndToolbar)
{
    SimScenario scenario(SmallMainframe());
    CWindowHarness window(ClickOk);
    EXPECT_EQ(window.Frame().windowTitle(), "Zentra EEPROM Verify");

    for (int route = 0; route < 2; ++route) {
        QString title;
        QString text;
        CModalDriver about([&](QWidget* dialog) {
            title = dialog->windowTitle();
            text = dialog->findChild<QLabel*>(QStringLiteral("IDC_STATIC_VERSION"))->text();
            QTest::keyClick(dialog, Qt::Key_Return);
        });
        if (route == 0) {
            window.Frame().CommandAction(ID_APP_ABOUT)->trigger();
        } else {
            auto* button = qobject_cast<QToolButton*>(
                window.Frame().ToolBar()->widgetForAction(window.Frame().CommandAction(ID_APP_ABOUT)));
            ASSERT_NE(button, nullptr);
            button->click();
        }
        DrainEvents();
        EXPECT_TRUE(about.Fired());
        EXPECT_EQ(title, "About Valdina");
        EXPECT_EQ(text, "Zentra EEPROM Verify Version 2.0");
    }
    EXPECT_EQ(window.Frame().windowTitle(), "Zentra EEPROM Verify");

    window.Command(ID_APP_EXIT);
    EXPECT_FALSE(window.Frame().isVisible());
}

TEST(MainFrame, DeviceClearGoesToTheBusAndShowsNothing)
{
    SimScenario scenario(MainframeOff());
    CWindowHarness window(nullptr);
    window.Command(ID_GPIB_DEVICE_CLEAR);
    EXPECT_FALSE(scenario.busLog().of("DevClear").empty());
    EXPECT_TRUE(window.messages.shown.empty());
}
