// The offer to scan and verify right after the window comes up.

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <algorithm>
#include <gtest/gtest.h>

#include "TestScenarios.h"
#include "UiHarness.h"
#include "resource.h"

using valdina::test::SimScenario;

namespace {
int Count(const std::vector<std::string>& commands, const std::string& prefix)
{
    return static_cast<int>(std::count_if(commands.begin(), commands.end(),
                                          [&](const std::string& c) { return c.rfind(prefix, 0) == 0; }));
}
}

TEST(StartupPrompt, MainframeOffShowsNoDialogAndNoMessage)
{
    SimScenario scenario(MainframeOff());
    bool dialog = false;
    CWindowHarness window([&](QWidget* modal) {
        dialog = true;
        modal->close();
    });
    EXPECT_FALSE(dialog);
    EXPECT_TRUE(window.messages.shown.empty());
    EXPECT_EQ(window.View().topLevelItemCount(), 0);
    EXPECT_EQ(Count(scenario.busLog().commands(), "Q2"), 0);
}

TEST(StartupPrompt, OkWithTheBoxTickedScansThenVerifies)
{
    SimScenario scenario(SmallMainframe());
    bool ticked = false;
    QString question;
    QString title;
    CWindowHarness window([&](QWidget* dialog) {
        title = dialog->windowTitle();
        question = dialog->findChild<QLabel*>("IDC_STATIC_FIND")->text();
        ticked = dialog->findChild<QCheckBox*>("IDC_VERIFY_NOW")->isChecked();
        ClickOk(dialog);
    });
    EXPECT_EQ(title, "Zentra EEPROM Verify");
    EXPECT_EQ(question, "Find the installed channels?");
    EXPECT_TRUE(ticked);
    const auto commands = scenario.busLog().commands();
    EXPECT_EQ(Count(commands, "Q2"), 1);
    EXPECT_GT(Count(commands, "<"), 0);
    for (const std::string& text : window.ColumnTexts(0))
        EXPECT_TRUE(text == "Good" || text == "Fail") << text;
    EXPECT_TRUE(window.messages.shown.empty());
}

TEST(StartupPrompt, OkWithTheBoxClearedScansOnly)
{
    SimScenario scenario(SmallMainframe());
    CWindowHarness window([](QWidget* dialog) {
        dialog->findChild<QCheckBox*>("IDC_VERIFY_NOW")->setChecked(false);
        ClickOk(dialog);
    });
    const auto commands = scenario.busLog().commands();
    EXPECT_EQ(Count(commands, "Q2"), 1);
    EXPECT_EQ(Count(commands, "<"), 0);
    EXPECT_EQ(window.RowChannels().size(), SmallMainframeCards().size());
    EXPECT_EQ(window.ColumnTexts(0)[1], "unknown");
}

TEST(StartupPrompt, CancelDoesNothingAndTheFirstRefreshScans)
{
    SimScenario scenario(SmallMainframe());
    CWindowHarness window(ClickCancel);
    EXPECT_TRUE(window.PromptShown());
    EXPECT_EQ(Count(scenario.busLog().commands(), "Q2"), 0);
    EXPECT_EQ(window.View().topLevelItemCount(), 0);

    // Neither Refresh nor Device Clear brings the prompt back.
    bool again = false;
    CModalDriver watch([&](QWidget* modal) {
        again = true;
        modal->close();
    });
    window.Command(ID_REFRESH);
    window.Command(ID_GPIB_DEVICE_CLEAR);
    EXPECT_FALSE(again);
    EXPECT_EQ(Count(scenario.busLog().commands(), "Q2"), 1);
    EXPECT_EQ(window.RowChannels().size(), SmallMainframeCards().size());
}

TEST(StartupPrompt, ScanFailureIsShownAndNoVerifyFollows)
{
    SimScenario scenario(SmallMainframe({{{"command", "QueryPresent"}, {"kind", "timeout"}}}));
    CWindowHarness window(ClickOk);
    EXPECT_TRUE(window.PromptShown());
    ASSERT_EQ(window.messages.shown.size(), 1u);
    EXPECT_NE(window.messages.shown[0].text.find("\"QueryPresent\""), std::string::npos);
    EXPECT_EQ(Count(scenario.busLog().commands(), "<"), 0);
    EXPECT_EQ(window.View().topLevelItemCount(), 0);
}

TEST(StartupPrompt, VerifyAllIsPostedAndStartsOnlyOnceThePromptHasReturned)
{
    SimScenario scenario(SmallMainframe());
    CWindowHarness window(ClickCancel);
    ASSERT_TRUE(window.PromptShown());
    scenario.clearBusLog();
    {
        CModalDriver answer(ClickOk);
        window.View().OnStartupPrompt();
        EXPECT_TRUE(answer.Fired());
    }
    // The scan has run; the pass waits in the queue.
    auto commands = scenario.busLog().commands();
    EXPECT_EQ(Count(commands, "Q2"), 1);
    EXPECT_EQ(Count(commands, "<"), 0);
    DrainEvents();
    commands = scenario.busLog().commands();
    EXPECT_GT(Count(commands, "<"), 0);
    for (const std::string& text : window.ColumnTexts(0))
        EXPECT_TRUE(text == "Good" || text == "Fail") << text;
}
