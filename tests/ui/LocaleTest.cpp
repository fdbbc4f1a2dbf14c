// The window on a desktop whose locale writes a decimal comma.

#include <QAbstractButton>
#include <algorithm>
#include <gtest/gtest.h>

#include "DecimalCommaLocale.h"
#include "TestScenarios.h"
#include "UiHarness.h"

TEST(Locale, WholePassUnderADecimalCommaSendsPointGainsAndPassesTheGoodCards)
{
    const valdina::test::DecimalCommaLocale locale;
    ASSERT_TRUE(locale.Active()) << locale.kName << " is missing: run scripts/install-deps";
    const valdina::test::SimScenario scenario(SmallMainframe());
    const CWindowHarness window(ClickOk);   // scans and verifies at once

    // Cards 2, 40 and 255 have good images and take the gain self-test.
    const auto commands = scenario.busLog().commands();
    EXPECT_EQ(std::count(commands.begin(), commands.end(), "G 1000.00"), 3);
    EXPECT_EQ(std::count(commands.begin(), commands.end(), "G 1.00"), 3);
    for (int channel : {2, 40, 255})
        EXPECT_EQ(window.app.Channels()[static_cast<std::size_t>(channel)].m_nStatus, StatusGood) << channel;
}
