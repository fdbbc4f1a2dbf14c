// Export Report: the Save As dialog, the file, and the messages of a failed write.

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "CMessageBoxSink.h"
#include "ChannelColumns.h"
#include "CReportSaveDialog.h"
#include "ReportFormat.h"
#include "TestScenarios.h"
#include "UiHarness.h"
#include "resource.h"

using valdina::test::SimScenario;

namespace {
// The file types as the operator sees them.
QStringList FilterTexts(const QFileDialog& dialog)
{
    QStringList texts;
    if (const auto* combo = dialog.findChild<QComboBox*>("fileTypeCombo")) {
        for (int i = 0; i < combo->count(); ++i)
            texts.push_back(combo->itemText(i));
    }
    return texts;
}

// The names the dialog lists in `folder` once it shows `awaited` (at most 5 s).
QStringList Listed(const QFileDialog& dialog, const QString& folder, const QString& awaited)
{
    const auto* model = dialog.findChild<QFileSystemModel*>();
    QStringList names;
    for (QElapsedTimer waited; !names.contains(awaited) && (!waited.isValid() || waited.elapsed() < 5000);) {
        if (!waited.isValid())
            waited.start();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        const QModelIndex root = model->index(folder);
        names.clear();
        for (int row = 0; row < model->rowCount(root); ++row)
            names.push_back(model->fileName(model->index(row, 0, root)));
    }
    return names;
}
}

namespace {
std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool OpensForWriting(const std::string& path)
{
    const int fd = open(path.c_str(), O_WRONLY);
    if (fd < 0)
        return false;
    close(fd);
    return true;
}

void ExportTo(CWindowHarness& window, const std::string& path)
{
    window.View().SetReportPathPrompt([path](std::string& chosen) {
        chosen = path;
        return true;
    });
    window.Command(ID_EXPORT_REPORT);
}
}

TEST(ReportExport, FileHoldsTheCoreReportOfTheTableWhateverTheListOrder)
{
    SimScenario scenario(SmallMainframe());
    CWindowHarness window(ClickOk);
    window.View().OnColumnClick(kColumnSerial);
    window.View().OnColumnClick(kColumnSerial);
    QTemporaryDir dir;
    const std::string path = dir.filePath("report.txt").toStdString();
    ExportTo(window, path);
    EXPECT_TRUE(window.messages.shown.empty());
    const std::string written = ReadFile(path);
    EXPECT_EQ(written, FormatReport(window.app.Channels(), "\r\n"));
    EXPECT_NE(written.find("Fail"), std::string::npos);

    // Cancel in the dialog touches nothing.
    window.View().SetReportPathPrompt([](std::string&) { return false; });
    QFile::remove(QString::fromStdString(path));
    window.Command(ID_EXPORT_REPORT);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(path)));
    EXPECT_TRUE(window.messages.shown.empty());
}

TEST(ReportExport, UnwritableTargetsGiveTheirMessages)
{
    SimScenario scenario(MainframeOff());
    CWindowHarness window(nullptr);

    ExportTo(window, "/dev/full");
    ASSERT_EQ(window.messages.shown.size(), 1u);
    EXPECT_EQ(window.messages.shown[0].text, "Disk full while accessing /dev/full.");
    EXPECT_EQ(window.messages.shown[0].icon, MessageIcon::Stop);

    // A read-only file; the super-user may write those, so then a read-only
    // kernel attribute stands in.
    QTemporaryDir dir;
    std::string readOnly = dir.filePath("locked.txt").toStdString();
    std::ofstream(readOnly) << "old";
    chmod(readOnly.c_str(), 0444);
    if (OpensForWriting(readOnly))
        readOnly = "/sys/kernel/notes";
    if (OpensForWriting(readOnly))
        GTEST_SKIP() << "no file here refuses writing";
    ExportTo(window, readOnly);
    ASSERT_EQ(window.messages.shown.size(), 2u);
    EXPECT_EQ(window.messages.shown[1].text, "Access to " + readOnly + " was denied.");
    EXPECT_EQ(window.messages.shown[1].icon, MessageIcon::Exclamation);
}

TEST(ReportExport, AllFilesListsFilesWithoutADotToo)
{
#ifdef _WIN32
    // The operator sees Windows' own Save As there, which reads "*.*" as every file;
    // the dialog under test here is Qt's stand-in for it.
    GTEST_SKIP() << "Windows' own dialog matches files without a dot";
#endif
    QTemporaryDir dir;
    for (const char* name : {"README", "a.txt", "b.csv"})
        QFile(QDir(dir.path()).filePath(name)).open(QIODevice::WriteOnly);
    CReportSaveDialog dialog(nullptr);
    dialog.setDirectory(dir.path());
    ASSERT_EQ(FilterTexts(dialog), (QStringList{"Text File (*.txt)", "All Files (*.*)"}));

    EXPECT_EQ(Listed(dialog, dir.path(), "a.txt"), QStringList{"a.txt"});
    dialog.selectNameFilter(dialog.nameFilters().at(1));
    QStringList all = Listed(dialog, dir.path(), "README");
    all.sort();
    EXPECT_EQ(all, (QStringList{"README", "a.txt", "b.csv"}));
}

TEST(ReportExport, SaveDialogOffersTextFilesAddsTheExtensionAndAsksBeforeOverwriting)
{
    SimScenario scenario(MainframeOff());
    CWindowHarness window(nullptr);
    QTemporaryDir dir;

    QStringList filters;
    QStringList initial;
    {
        CModalDriver driver([&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            ASSERT_NE(dialog, nullptr);
            filters = FilterTexts(*dialog);
            initial = dialog->selectedFiles();
            dialog->setDirectory(dir.path());
            // The operator types over the offered name in the focused name field.
            auto* name = qobject_cast<QLineEdit*>(QApplication::focusWidget());
            ASSERT_NE(name, nullptr);
            name->setText("typed");
            static_cast<QDialog*>(dialog)->accept();
        });
        std::string path;
        EXPECT_TRUE(window.View().PromptReportPath(path));
        EXPECT_EQ(path, QDir(dir.path()).filePath("typed.txt").toStdString());
    }
    EXPECT_EQ(filters, (QStringList{"Text File (*.txt)", "All Files (*.*)"}));
    ASSERT_EQ(initial.size(), 1);
    EXPECT_TRUE(initial[0].endsWith("/Valdina.txt")) << initial[0].toStdString();

    // An existing file brings the overwrite question first.
    const QString existing = QDir(dir.path()).filePath("Valdina.txt");
    QFile(existing).open(QIODevice::WriteOnly);
    bool asked = false;
    CModalDriver driver([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        dialog->setDirectory(dir.path());
        dialog->selectFile("Valdina.txt");
        CModalDriver question([&](QWidget* box) {
            asked = qobject_cast<QMessageBox*>(box) != nullptr;
            if (auto* message = qobject_cast<QMessageBox*>(box))
                message->button(QMessageBox::Yes)->click();
        });
        static_cast<QDialog*>(dialog)->accept();
        QTest::qWait(100);
    });
    std::string path;
    EXPECT_TRUE(window.View().PromptReportPath(path));
    EXPECT_TRUE(asked);
    EXPECT_EQ(path, existing.toStdString());
}

TEST(ReportExport, MessageBoxesAreModalCaptionedAndCarryTheirIcon)
{
    SimScenario scenario(MainframeOff());
    CWindowHarness window(nullptr);
    CMessageBoxSink sink;
    for (MessageIcon icon : {MessageIcon::Exclamation, MessageIcon::Stop}) {
        QString title;
        QString text;
        Qt::TextFormat format = Qt::AutoText;
        QMessageBox::Icon shownIcon = QMessageBox::NoIcon;
        bool modal = false;
        CModalDriver driver([&](QWidget* widget) {
            auto* box = qobject_cast<QMessageBox*>(widget);
            ASSERT_NE(box, nullptr);
            title = box->windowTitle();
            text = box->text();
            format = box->textFormat();
            shownIcon = box->icon();
            modal = box->isModal();
            box->button(QMessageBox::Ok)->click();
        });
        // A path the operator typed is shown as typed, even when it looks like markup.
        sink.ShowMessage("Disk full while accessing /tmp/<b>x</b>.", icon);
        EXPECT_TRUE(driver.Fired());
        EXPECT_EQ(title, "Zentra EEPROM Verify");
        EXPECT_EQ(text, "Disk full while accessing /tmp/<b>x</b>.");
        EXPECT_EQ(format, Qt::PlainText);
        EXPECT_EQ(shownIcon, icon == MessageIcon::Stop ? QMessageBox::Critical : QMessageBox::Warning);
        EXPECT_TRUE(modal);
    }
}

TEST(ReportExport, MessageBoxDuringAPassKeepsTheWaitCursor)
{
    SimScenario scenario(SmallMainframe(
        {{{"command", "RdEe4"}, {"channel", 2}, {"address", 0}, {"kind", "timeout"}, {"times", 1}}}));
    CMessageBoxSink boxes;
    CWindowHarness window([](QWidget* dialog) {
        dialog->findChild<QAbstractButton*>("IDC_VERIFY_NOW")->setChecked(false);
        ClickOk(dialog);
    });
    boxes.SetOwner(&window.Frame());
    window.app.Instrument().SetMessageSink(&boxes);
    Qt::CursorShape overBox = Qt::BlankCursor;
    QString text;
    CModalDriver driver([&](QWidget* widget) {
        const QCursor* cursor = QApplication::overrideCursor();
        overBox = cursor ? cursor->shape() : Qt::BlankCursor;
        auto* box = qobject_cast<QMessageBox*>(widget);
        ASSERT_NE(box, nullptr);
        text = box->text();
        box->button(QMessageBox::Ok)->click();
    });
    window.Command(ID_VERIFY_ALL);
    EXPECT_TRUE(driver.Fired());
    EXPECT_TRUE(text.endsWith("during \"RdEe4\"")) << text.toStdString();
    EXPECT_EQ(overBox, Qt::WaitCursor);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}
