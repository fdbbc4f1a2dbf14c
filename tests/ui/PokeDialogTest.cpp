// The EEPROM byte dialog reached by Ctrl+M.

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>

#include "ChannelColumns.h"
#include "TestImages.h"
#include "TestScenarios.h"
#include "TextFormat.h"
#include "UiHarness.h"
#include "resource.h"

using valdina::test::SimScenario;
using valdina::test::TestImages;

namespace {
constexpr int kChannel = 21;   // rack 1, slot 5

nlohmann::json PokeMainframe(nlohmann::json faults = nlohmann::json::array())
{
    return {{"base", "empty"},
            {"cards", {SimScenario::imageCard(3, TestImages::valid(3)), SimScenario::imageCard(kChannel, TestImages::valid(21))}},
            {"faults", faults}};
}

std::vector<std::string> Writes(const SimScenario& scenario)
{
    std::vector<std::string> writes;
    for (const std::string& command : scenario.busLog().commands()) {
        if (command.rfind(">", 0) == 0)
            writes.push_back(command);
    }
    return writes;
}

int Reads(const SimScenario& scenario)
{
    const auto commands = scenario.busLog().commands();
    return static_cast<int>(std::count_if(commands.begin(), commands.end(), [](const std::string& c) { return c.rfind("<", 0) == 0; }));
}

// A write frame names the card by rack and slot mask and ends with address and byte.
bool IsWrite(const std::string& frame, int channel, unsigned address, unsigned byte)
{
    const std::string card = FormatText(">%02X%04X", channel / 16, 1u << (channel % 16));
    const std::string tail = FormatText("%04X%02X", address, byte);
    return frame.rfind(card, 0) == 0 && frame.size() >= tail.size() && frame.compare(frame.size() - tail.size(), tail.size(), tail) == 0;
}

QLineEdit* Field(QWidget* dialog, const char* name)
{
    return dialog->findChild<QLineEdit*>(name);
}

// As Alt+R does: the button runs without taking the focus.
void ClickRead(QWidget* dialog)
{
    dialog->findChild<QAbstractButton*>("IDC_READ")->click();
}

// Scans with the prompt and opens Poke on the selected rows.
struct PokeSession {
    explicit PokeSession(const nlohmann::json& mainframe) : scenario(mainframe), window(ClickOk) {}
    void Poke(std::function<void(QWidget*)> drive)
    {
        CModalDriver driver(std::move(drive));
        window.Key(Qt::Key_M, Qt::ControlModifier);
        opened = driver.Fired();
    }
    SimScenario scenario;
    CWindowHarness window;
    bool opened = false;
};
}

TEST(PokeDialog, ReadThenEnterWritesTheByteReadBack)
{
    PokeSession session(PokeMainframe());
    session.window.SelectChannels({kChannel});
    const unsigned expected = TestImages::valid(21)[0x10];
    QString initialAddress;
    QString shown;
    bool dataFocused = false;
    session.Poke([&](QWidget* dialog) {
        initialAddress = Field(dialog, "IDC_ADDRESS")->text();
        Field(dialog, "IDC_ADDRESS")->setText("0x10");
        ClickRead(dialog);
        shown = Field(dialog, "IDC_DATA")->text();
        dataFocused = QApplication::focusWidget() == Field(dialog, "IDC_DATA");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    });
    ASSERT_TRUE(session.opened);
    EXPECT_EQ(initialAddress, "0x0000");
    EXPECT_EQ(shown, QString::asprintf("0x%02X", expected));
    EXPECT_TRUE(dataFocused);
    const auto writes = Writes(session.scenario);
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_TRUE(IsWrite(writes[0], kChannel, 0x10, expected)) << writes[0];
    EXPECT_TRUE(session.window.messages.shown.empty());
}

TEST(PokeDialog, EnterInTheAddressFieldWritesTheDataFieldAndTheTopmostSelectedRowCounts)
{
    PokeSession session(PokeMainframe());
    // Descending channel order puts 21 above 3.
    session.window.View().OnColumnClick(kColumnChan);
    session.window.View().OnColumnClick(kColumnChan);
    session.window.SelectChannels({3, kChannel});
    const int readsBefore = Reads(session.scenario);
    session.Poke([&](QWidget* dialog) {
        Field(dialog, "IDC_ADDRESS")->setText("020");
        Field(dialog, "IDC_DATA")->setText("0x1FF");
        QTest::keyClick(Field(dialog, "IDC_ADDRESS"), Qt::Key_Return);
    });
    const auto writes = Writes(session.scenario);
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_TRUE(IsWrite(writes[0], kChannel, 16, 0xFF)) << writes[0];
    // No Read from the dialog: only the poke's own byte before and read-back.
    EXPECT_EQ(Reads(session.scenario), readsBefore + 2);
}

TEST(PokeDialog, FailedReadChangesNothingAndCancelAfterReadsWritesNothing)
{
    PokeSession session(PokeMainframe({{{"command", "RdEe1"}, {"address", 0x22}, {"kind", "timeout"}}}));
    session.window.SelectChannels({kChannel});
    const int readsBefore = Reads(session.scenario);
    QString afterGoodRead;
    QString afterFailedRead;
    QWidget* focusBefore = nullptr;
    QWidget* focusAfter = nullptr;
    session.Poke([&](QWidget* dialog) {
        Field(dialog, "IDC_ADDRESS")->setText("0x21");
        ClickRead(dialog);
        afterGoodRead = Field(dialog, "IDC_DATA")->text();
        Field(dialog, "IDC_ADDRESS")->setText("0x22");
        Field(dialog, "IDC_ADDRESS")->setFocus();
        focusBefore = QApplication::focusWidget();
        ClickRead(dialog);
        afterFailedRead = Field(dialog, "IDC_DATA")->text();
        focusAfter = QApplication::focusWidget();
        ClickCancel(dialog);
    });
    ASSERT_TRUE(session.opened);
    EXPECT_EQ(afterGoodRead, QString::asprintf("0x%02X", TestImages::valid(21)[0x21]));
    EXPECT_EQ(afterFailedRead, afterGoodRead);
    EXPECT_EQ(focusAfter, focusBefore);
    EXPECT_EQ(Reads(session.scenario), readsBefore + 2);
    EXPECT_TRUE(Writes(session.scenario).empty());
    EXPECT_TRUE(session.window.messages.shown.empty());
}

TEST(PokeDialog, FailedWriteIsShownAfterTheDialogHasGone)
{
    PokeSession session(PokeMainframe({{{"command", "WrEe1"}, {"kind", "no_srq"}}}));
    session.window.SelectChannels({kChannel});
    session.Poke([](QWidget* dialog) {
        Field(dialog, "IDC_DATA")->setText("7");
        ClickOk(dialog);
    });
    ASSERT_EQ(session.window.messages.shown.size(), 1u);
    const auto& message = session.window.messages.shown[0];
    EXPECT_NE(message.text.find("during \"WrEe1\""), std::string::npos) << message.text;
    EXPECT_FALSE(message.overDialog);
}

TEST(PokeDialog, AddressBeyondSixteenBitsIsRefusedAndNothingReachesTheBus)
{
    PokeSession session(PokeMainframe());
    session.window.SelectChannels({kChannel});
    const int readsBefore = Reads(session.scenario);
    bool openAfterOk = false;
    session.Poke([&](QWidget* dialog) {
        Field(dialog, "IDC_ADDRESS")->setText("0x10000");
        ClickRead(dialog);
        Field(dialog, "IDC_DATA")->setText("5");
        ClickOk(dialog);
        openAfterOk = dialog->isVisible();
        // Corrected, OK writes.
        Field(dialog, "IDC_ADDRESS")->setText("0xFFFF");
        ClickOk(dialog);
    });
    ASSERT_TRUE(session.opened);
    EXPECT_TRUE(openAfterOk);
    // Only the poke at 0xFFFF reads: the byte before and the read-back.
    EXPECT_EQ(Reads(session.scenario), readsBefore + 2);
    const auto& shown = session.window.messages.shown;
    ASSERT_EQ(shown.size(), 3u);
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_NE(shown[i].text.find("0x10000"), std::string::npos) << shown[i].text;
        EXPECT_NE(shown[i].text.find("0x0000..0xFFFF"), std::string::npos) << shown[i].text;
        EXPECT_TRUE(shown[i].overDialog);
    }
    // The card has 512 bytes: 0xFFFF takes no byte, and the read-back says so.
    EXPECT_NE(shown[2].text.find("0xFFFF"), std::string::npos) << shown[2].text;
    const auto writes = Writes(session.scenario);
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_TRUE(IsWrite(writes[0], kChannel, 0xFFFF, 5)) << writes[0];
}

TEST(PokeDialog, NoSelectedRowNoDialog)
{
    PokeSession session(PokeMainframe());
    session.window.View().clearSelection();
    session.Poke([](QWidget* dialog) { ClickCancel(dialog); });
    EXPECT_FALSE(session.opened);
}

TEST(PokeDialog, OkHasTheFirstFocusAndEachOpeningStartsFresh)
{
    PokeSession session(PokeMainframe());
    session.window.SelectChannels({kChannel});
    QStringList tabOrder;
    session.Poke([&](QWidget* dialog) {
        QWidget* widget = QApplication::focusWidget();
        for (int stop = 0; stop < 6 && widget; ++stop) {
            tabOrder << widget->objectName();
            do
                widget = widget->nextInFocusChain();
            while (!(widget->focusPolicy() & Qt::TabFocus));
        }
        Field(dialog, "IDC_ADDRESS")->setText("0x33");
        Field(dialog, "IDC_DATA")->setText("0x44");
        ClickCancel(dialog);
    });
    ASSERT_TRUE(session.opened);
    EXPECT_EQ(tabOrder, (QStringList{"IDOK", "IDCANCEL", "IDC_ADDRESS", "IDC_READ", "IDC_DATA", "IDOK"}));

    // Typed texts are not kept; a mouse click on Read takes the focus, yet the
    // focus then moves to Data and Enter there still means OK.
    QString address;
    QString data;
    session.Poke([&](QWidget* dialog) {
        address = Field(dialog, "IDC_ADDRESS")->text();
        data = Field(dialog, "IDC_DATA")->text();
        QTest::mouseClick(dialog->findChild<QAbstractButton*>("IDC_READ"), Qt::LeftButton);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    });
    EXPECT_EQ(address, "0x0000");
    EXPECT_EQ(data, "");
    const auto writes = Writes(session.scenario);
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_TRUE(IsWrite(writes[0], kChannel, 0, TestImages::valid(21)[0])) << writes[0];
}

TEST(PokeDialog, FieldsTakeTextsOfAnyLength)
{
    PokeSession session(PokeMainframe());
    session.window.SelectChannels({kChannel});
    // Leading zeros make both texts octal; only their last digits give the value.
    const QString address = QString(40000, QLatin1Char('0')) + "21";
    const QString data = QString(40000, QLatin1Char('0')) + "7";
    session.Poke([&](QWidget* dialog) {
        Field(dialog, "IDC_ADDRESS")->setText(address);
        Field(dialog, "IDC_DATA")->setText(data);
        ClickOk(dialog);
    });
    const auto writes = Writes(session.scenario);
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_TRUE(IsWrite(writes[0], kChannel, 021, 7)) << writes[0];
}
