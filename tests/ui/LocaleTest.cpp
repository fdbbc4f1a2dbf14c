// The window on a desktop whose locale writes a decimal comma.

#include <QAbstractButton>
#include <algorithm>
#include <gtest/gtest.h>

#include "DecimalCommaLocale.h"
#include "TestScenarios.h"
#include "UiHarness.h"

using valdina::test::DecimalCommaLocale;
using valdina::test::SimScenario;

TEST(Locale, WholePassUnderADecimalCommaSendsPointGainsAndPassesTheGoodCards)
{
    DecimalCommaLocale locale;
    ASSERT_TRUE(locale.Active()) << DecimalCommaLocale::kName << " is missing: run scripts/install-deps";
    SimScenario scenario(SmallMainframe());
    CWindowHarness window([](QWidget* dialog) {
        dialog->findChild<QAbstractButton*>("IDC_VERIFY_NOW")->setChecked(true);
        ClickOk(dialog);
    });

    const auto commands = scenario.busLog().commands();
    const auto count = [&](const std::string& text) { return std::count(commands.begin(), commands.end(), text); };
    // Cards 2, 40 and 255 have good images and take the gain self-test.
    EXPECT_EQ(count("G 1000.00"), 3);
    EXPECT_EQ(count("G 1.00"), 3);
    EXPECT_EQ(std::count_if(commands.begin(), commands.end(),
                            [](const std::string& text) { return text.find(',') != std::string::npos; }),
              0);
    for (int channel : {2, 40, 255}) {
        const CChannelInfo& info = window.app.m_channels[static_cast<std::size_t>(channel)];
        EXPECT_EQ(info.m_nStatus, StatusGood) << "channel " << channel << ": " << info.m_strError;
    }
    EXPECT_TRUE(window.messages.shown.empty());
}
