// The channel list: columns, lamps, header sorting, and rows during a pass.

#include <QAbstractButton>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QStatusBar>
#include <QRegularExpression>
#include <QTest>
#include <algorithm>
#include <cerrno>
#include <gtest/gtest.h>
#include <map>
#include <set>

#include "ChannelColumns.h"
#include "ChannelStatus.h"
#include "ResourceImages.h"
#include "SharedLibrary.h"
#include "TestScenarios.h"
#include "ITransactionObserver.h"
#include "UiHarness.h"
#include "resource.h"

using valdina::test::SimScenario;

namespace {
void ClickHeader(CChannelView& view, int column)
{
    QHeaderView* header = view.header();
    const QPoint point(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, point);
    DrainEvents();
}

std::vector<int> ChannelsBySerial(bool descending)
{
    std::vector<TestCard> cards = SmallMainframeCards();
    std::sort(cards.begin(), cards.end(), [](const TestCard& a, const TestCard& b) {
        return std::string(a.serial) < std::string(b.serial);
    });
    std::vector<int> channels;
    for (const TestCard& card : cards)
        channels.push_back(card.channel);
    if (descending)
        std::reverse(channels.begin(), channels.end());
    return channels;
}

std::vector<int> ChannelsInOrder(bool descending)
{
    std::vector<int> channels;
    for (const TestCard& card : SmallMainframeCards())
        channels.push_back(card.channel);
    if (descending)
        std::reverse(channels.begin(), channels.end());
    return channels;
}

std::vector<int> Statuses(const CWindowHarness& window)
{
    std::vector<int> statuses;
    for (int channel : window.RowChannels())
        statuses.push_back(window.app.Channels()[static_cast<size_t>(channel)].m_nStatus);
    return statuses;
}
}

TEST(ChannelView, ColumnsAreTitledAlignedAndSizedFromTheListFont)
{
    SimScenario scenario(SmallMainframe());
    CWindowHarness window(ClickOk);
    CChannelView& view = window.View();
    const std::vector<QString> titles{"Status", "SN", "Chan", "Rack", "Slot", "Error"};
    ASSERT_EQ(view.columnCount(), 6);
    for (int column = 0; column < 6; ++column)
        EXPECT_EQ(view.headerItem()->text(column), titles[static_cast<size_t>(column)]);

    const QFontMetrics metrics(view.font());
    const int wide = metrics.horizontalAdvance("12345678xxxx");
    const int narrow = metrics.horizontalAdvance("123456");
    EXPECT_EQ(view.columnWidth(kColumnStatus), wide);
    EXPECT_EQ(view.columnWidth(kColumnSerial), wide);
    for (int column : {kColumnChan, kColumnRack, kColumnSlot})
        EXPECT_EQ(view.columnWidth(column), narrow);
    EXPECT_EQ(view.columnWidth(kColumnError), 8 * narrow);
    EXPECT_FALSE(view.header()->isSortIndicatorShown());
    EXPECT_EQ(view.selectionMode(), QAbstractItemView::ExtendedSelection);

    // The row of channel 37: rack 2, slot 5, numbers right-aligned.
    QTreeWidgetItem* row = view.topLevelItem(window.RowOf(37));
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->data(0, Qt::UserRole).toInt(), 37);
    EXPECT_EQ(row->text(kColumnSerial), "a1234567");
    EXPECT_EQ(row->text(kColumnChan), "37");
    EXPECT_EQ(row->text(kColumnRack), "2");
    EXPECT_EQ(row->text(kColumnSlot), "5");
    for (int column : {kColumnChan, kColumnRack, kColumnSlot}) {
        EXPECT_TRUE(row->textAlignment(column) & Qt::AlignRight);
        EXPECT_TRUE(view.headerItem()->textAlignment(column) & Qt::AlignRight);
    }

    // Row operations on no row change no row.
    const auto lampKeys = [&view] {
        std::vector<qint64> keys;
        for (int n = 0; n < view.topLevelItemCount(); ++n)
            keys.push_back(view.topLevelItem(n)->icon(kColumnStatus).cacheKey());
        return keys;
    };
    std::vector<std::vector<std::string>> texts;
    for (int column = 0; column < kColumnCount; ++column)
        texts.push_back(window.ColumnTexts(column));
    const std::vector<qint64> lamps = lampKeys();
    EXPECT_EQ(view.FindChannelRow(99), -1);
    const int rows = view.topLevelItemCount();
    for (int row : {-1, rows}) {
        view.SetRowText(row, kColumnStatus, "Good");
        view.SetRowText(row, kColumnError, "invalid checksum (gain)");
        view.SetRowImage(row, StatusGood);
    }
    EXPECT_EQ(view.topLevelItemCount(), rows);
    for (int column = 0; column < kColumnCount; ++column)
        EXPECT_EQ(window.ColumnTexts(column), texts[static_cast<size_t>(column)]) << column;
    EXPECT_EQ(lampKeys(), lamps);
    EXPECT_EQ(view.GetRowChannel(-1), -1);
    EXPECT_EQ(view.GetRowChannel(rows), -1);
}

TEST(ChannelView, StateLampBitmapHasTheDiscsAndTheQuestionMark)
{
    const QImage bitmap = StateLampBitmap();
    ASSERT_EQ(bitmap.size(), QSize(60, 12));
    const int widths[12] = {2, 8, 10, 10, 10, 12, 12, 10, 10, 10, 8, 2};
    const QRgb fills[5] = {qRgb(0, 0, 0), qRgb(255, 255, 0), qRgb(0, 0, 255), qRgb(0, 128, 0), qRgb(255, 0, 0)};
    const std::set<std::pair<int, int>> questionMark{{2, 4}, {2, 5}, {2, 6}, {2, 7}, {3, 3}, {3, 8},
                                                     {4, 8}, {5, 6}, {5, 7}, {6, 5}, {7, 5}, {9, 5}};
    for (int image = 0; image < 5; ++image) {
        for (int y = 0; y < 12; ++y) {
            const int first = (12 - widths[y]) / 2;
            for (int x = 0; x < 12; ++x) {
                QRgb expected = qRgb(128, 128, 0);
                if (x >= first && x < first + widths[y])
                    expected = image == 1 && questionMark.count({y, x}) ? qRgb(0, 0, 0) : fills[image];
                ASSERT_EQ(bitmap.pixel(image * 12 + x, y) & 0xFFFFFF, expected & 0xFFFFFF)
                    << "image " << image << " row " << y << " column " << x;
            }
        }
    }

    // The lamps drawn in the list: the olive background is transparent.
    const std::vector<QIcon> lamps = StateLampIcons();
    ASSERT_EQ(lamps.size(), 5u);
    const QImage unknown = lamps[StatusUnknown].pixmap(12, 12).toImage();
    EXPECT_EQ(qAlpha(unknown.pixel(0, 0)), 0);
    EXPECT_EQ(unknown.pixel(5, 5) & 0xFFFFFF, qRgb(255, 255, 0) & 0xFFFFFF);
    EXPECT_EQ(unknown.pixel(5, 9) & 0xFFFFFF, 0u);
}

TEST(ChannelView, ToolbarImagesTakeTheButtonFace)
{
    const QImage bitmap = ToolbarBitmap();
    ASSERT_EQ(bitmap.size(), QSize(96, 15));
    const QColor face(10, 20, 30);
    const std::vector<QIcon> icons = ToolbarIcons(face);
    ASSERT_EQ(icons.size(), 6u);
    const QImage scissors = icons[0].pixmap(16, 15).toImage();
    EXPECT_EQ(bitmap.pixel(0, 0) & 0xFFFFFF, qRgb(192, 192, 192) & 0xFFFFFF);
    EXPECT_EQ(scissors.pixel(0, 0) & 0xFFFFFF, face.rgb() & 0xFFFFFF);
}

TEST(ChannelView, HeaderClicksSortByTheRecordsAndFlipOnTheSameColumn)
{
    SimScenario scenario(SmallMainframe());
    CWindowHarness window([](QWidget* dialog) { ClickOk(dialog); });
    ASSERT_EQ(window.RowChannels(), ChannelsInOrder(false));
    // The pass has judged every card: 17 and 37 fail, the others are good.
    ASSERT_EQ(window.app.Channels()[17].m_nStatus, StatusFail);
    ASSERT_EQ(window.app.Channels()[2].m_nStatus, StatusGood);
    EXPECT_EQ(window.View().SortColumn(), -1);

    ClickHeader(window.View(), kColumnSerial);
    EXPECT_EQ(window.RowChannels(), ChannelsBySerial(false));

    ClickHeader(window.View(), kColumnStatus);
    auto statuses = Statuses(window);
    EXPECT_TRUE(std::is_sorted(statuses.begin(), statuses.end()));
    ClickHeader(window.View(), kColumnStatus);
    statuses = Statuses(window);
    EXPECT_TRUE(std::is_sorted(statuses.rbegin(), statuses.rend()));
    EXPECT_NE(statuses.front(), statuses.back());

    ClickHeader(window.View(), kColumnRack);
    EXPECT_EQ(window.RowChannels(), ChannelsInOrder(false));
    ClickHeader(window.View(), kColumnRack);
    EXPECT_EQ(window.RowChannels(), ChannelsInOrder(true));
    // Slot orders like Chan: by channel, rack first.
    ClickHeader(window.View(), kColumnSlot);
    EXPECT_EQ(window.RowChannels(), ChannelsInOrder(false));
}

TEST(ChannelView, SortStateOutlivesAScanAndErrorSortsByTheRecords)
{
    SimScenario scenario(SmallMainframe());
    CWindowHarness window(ClickOk);

    ClickHeader(window.View(), kColumnSerial);
    ASSERT_EQ(window.RowChannels(), ChannelsBySerial(false));
    window.Key(Qt::Key_F5);
    EXPECT_EQ(window.RowChannels(), ChannelsInOrder(false));
    ClickHeader(window.View(), kColumnSerial);
    EXPECT_EQ(window.RowChannels(), ChannelsBySerial(true));

    // After the rescan the Error column is blank, but the records keep the texts
    // of the pass, and those order the rows: the two failed cards sort last.
    for (const std::string& text : window.ColumnTexts(kColumnError))
        EXPECT_EQ(text, "");
    ClickHeader(window.View(), kColumnError);
    const auto rows = window.RowChannels();
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ((std::set<int>{rows[4], rows[5]}), (std::set<int>{17, 37}));
}

TEST(ChannelView, EachCardShowsReadingAndItsProgressPaintedBeforeItsFirstRead)
{
    nlohmann::json mainframe = SmallMainframe();
    mainframe["latency_us"] = 200;   // every card takes longer than a frame
    SimScenario scenario(mainframe);
    CWindowHarness window([](QWidget* dialog) {
        dialog->findChild<QAbstractButton*>("IDC_VERIFY_NOW")->setChecked(false);
        ClickOk(dialog);
    });
    ASSERT_EQ(window.RowChannels().size(), 6u);
    CChannelView& view = window.View();
    auto* pane = window.Frame().StatusBar()->findChild<QLabel*>("ID_SEPARATOR");
    ASSERT_NE(pane, nullptr);

    // What the last paints showed: each row's status text, and the message pane.
    std::map<int, QString> paintedRows;
    QString paintedMessage;
    PaintWatcher watcher([&](QObject* target, const QRegion& region) {
        if (target == pane)
            paintedMessage = pane->text();
        if (target != view.viewport())
            return;
        for (int channel : window.RowChannels()) {
            QTreeWidgetItem* item = view.topLevelItem(window.RowOf(channel));
            if (region.intersects(view.visualItemRect(item)))
                paintedRows[channel] = item->text(kColumnStatus);
        }
    });

    // At each card's first read: the painted status bar, the painted row and its lamp.
    std::vector<std::string> seen;
    std::string previousLabel;
    BusWatcher reads([&](const TransactionRecord& record) {
        const bool firstRead = record.label == "RdEe4" && previousLabel != "RdEe4";
        previousLabel = std::string(record.label);
        const int channel = pane->text().section(' ', 2, 2).toInt();
        if (!firstRead || window.RowOf(channel) < 0)
            return;
        const QImage lamp = view.topLevelItem(window.RowOf(channel))->icon(kColumnStatus).pixmap(12, 12).toImage();
        seen.push_back(paintedMessage.toStdString() + " " + paintedRows[channel].toStdString()
                       + (lamp.pixel(5, 5) == qRgb(0, 0, 255) ? " blue" : " not blue"));
    });
    view.Pump().SetNext(&reads);
    window.Command(ID_VERIFY_ALL);
    std::vector<std::string> expected;
    for (size_t i = 0; i < SmallMainframeCards().size(); ++i)
        expected.push_back("Verifying channel " + std::to_string(SmallMainframeCards()[i].channel) + " ("
                           + std::to_string(i + 1) + " of 6)... reading blue");
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(window.ColumnTexts(kColumnStatus), (std::vector<std::string>{"Good", "Good", "Fail", "Fail", "Good", "Good"}));
    EXPECT_EQ(window.Frame().MessageText(), "Ready");

    // The scan's status text likewise, before each card's first command, when its
    // cards take longer than a frame.
    mainframe["latency_us"] = 10000;
    SimScenario slower(mainframe);
    std::vector<std::string> scanned;
    BusWatcher selects([&](const TransactionRecord& record) {
        if (record.label == "Select")
            scanned.push_back(std::string(record.command) + ": " + paintedMessage.toStdString());
    });
    view.Pump().SetNext(&selects);
    window.Command(ID_REFRESH);
    view.Pump().SetNext(nullptr);
    expected.clear();
    for (size_t i = 0; i < SmallMainframeCards().size(); ++i) {
        const std::string channel = std::to_string(SmallMainframeCards()[i].channel);
        expected.push_back("S " + channel + ": Scanning channel " + channel + " (" + std::to_string(i + 1) + " of 6)...");
    }
    EXPECT_EQ(scanned, expected);
}

TEST(ChannelView, CommandPostedDuringAPassRunsOnlyAfterIt)
{
    SimScenario scenario(SmallMainframe());
    CWindowHarness window([](QWidget* dialog) {
        dialog->findChild<QAbstractButton*>("IDC_VERIFY_NOW")->setChecked(false);
        ClickOk(dialog);
    });
    bool posted = false;
    QObject::connect(&window.View(), &CChannelView::progressText, &window.View(), [&](const QString& text) {
        if (!posted && text.startsWith("Verifying")) {
            posted = true;
            window.View().PostCommand(ID_REFRESH);
        }
    });
    window.Command(ID_VERIFY_ALL);
    ASSERT_TRUE(posted);

    // The pass repaints by handling events, yet the Refresh posted inside it starts
    // only when the pass has ended: the second presence query follows every read.
    const auto commands = scenario.busLog().commands();
    std::vector<size_t> presence;
    size_t lastRead = 0;
    for (size_t i = 0; i < commands.size(); ++i) {
        if (commands[i] == "Q2")
            presence.push_back(i);
        if (commands[i].rfind("<", 0) == 0)
            lastRead = i;
    }
    ASSERT_EQ(presence.size(), 2u);
    EXPECT_GT(presence[1], lastRead);
    EXPECT_EQ(window.RowChannels().size(), SmallMainframeCards().size());
}

static QString DriverCause(int code)
{
    return "driver: " + QString::fromStdString(os::SystemErrorText(code));
}

TEST(ChannelView, RefreshOnABusThatCannotBeReachedShowsTheDriversCauseAndDoctor)
{
    const QString doctor = "\n\nRun \"valdina-cli doctor\" to find which step of the GPIB set-up fails.";
    const struct {
        nlohmann::json scenario;
        QString text;
        QString below;
    } cases[] = {
        // Board 0's device file missing or forbidden: the driver fails as a whole,
        // its cause in the system's own words.
        {{{"board", "missing"}}, "GPIB error 0 during \"IsListener\"", DriverCause(ENOENT) + doctor},
        {{{"board", "denied"}}, "GPIB error 0 during \"IsListener\"", DriverCause(EACCES) + doctor},
        // The bus works, only the mainframe is not on it: nothing more to say.
        {MainframeOff(), "GPIB device 29 not found during \"IsListener\"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.scenario.dump());
        SimScenario scenario(c.scenario);
        CWindowHarness window(nullptr, true);
        QString text;
        QString below;
        CModalDriver driver([&](QWidget* widget) {
            auto* box = qobject_cast<QMessageBox*>(widget);
            ASSERT_NE(box, nullptr);
            text = box->text();
            below = box->informativeText();
            box->button(QMessageBox::Ok)->click();
        });
        window.Key(Qt::Key_F5);
        EXPECT_TRUE(driver.Fired());
        EXPECT_EQ(text.toStdString(), c.text.toStdString());
        EXPECT_EQ(below.toStdString(), c.below.toStdString());
    }
}
