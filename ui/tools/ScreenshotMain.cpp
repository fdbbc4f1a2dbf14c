// Takes the picture of the window for the documentation: starts the window as the
// program does, answers the startup prompt with OK (scan, then verify), closes the
// message boxes of the pass, and saves the main window once the pass has ended. It
// fails when the list is empty or a card's row lacks its lamp or status text, so
// the Windows build's real-window run checks what the operator would see.
// Given REPORT, it then exports the report through the Save As dialog, which the
// caller answers as an operator would (typing REPORT), and fails unless that file
// holds a line for every card in the list.
// Usage: valdina-screenshot OUTPUT.png [REPORT]

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QTimer>
#include <algorithm>
#include <cstdio>

#include "CChannelView.h"
#include "ChannelColumns.h"
#include "CMainFrame.h"
#include "CStartupDlg.h"
#include "CVerifierApp.h"

namespace {

// The first row without its lamp or status text, or -1; 0 when there are no rows.
int RowWithoutLampOrText(const CChannelView& view)
{
    if (view.topLevelItemCount() == 0)
        return 0;
    for (int row = 0; row < view.topLevelItemCount(); ++row) {
        const QTreeWidgetItem* item = view.topLevelItem(row);
        if (item->icon(kColumnStatus).isNull() || item->text(kColumnStatus).isEmpty())
            return row;
    }
    return -1;
}

// The first row whose card has no line of its own in the report at `path`, or -1.
int RowMissingFromReport(const CChannelView& view, const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return 0;
    const QList<QByteArray> lines = file.readAll().split('\n');
    for (int row = 0; row < view.topLevelItemCount(); ++row) {
        const QTreeWidgetItem* item = view.topLevelItem(row);
        const QByteArray serial = item->text(kColumnSerial).toLatin1();
        const QByteArray state = item->text(kColumnStatus).toLatin1();
        const bool listed = std::any_of(lines.begin(), lines.end(), [&](const QByteArray& line) {
            return line.trimmed().startsWith(serial) && line.contains(state);
        });
        if (!listed)
            return row;
    }
    return -1;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: %s OUTPUT.png [REPORT]\n", argv[0]);
        return 2;
    }
    const QString output = QString::fromLocal8Bit(argv[1]);
    const QString report = argc == 3 ? QString::fromLocal8Bit(argv[2]) : QString();
    int qtArgc = 1;
    QApplication application(qtArgc, argv);
    CVerifierApp app;

    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [] {
        QWidget* modal = QApplication::activeModalWidget();
        if (qobject_cast<CStartupDlg*>(modal))
            modal->findChild<QAbstractButton*>(QStringLiteral("IDOK"))->click();
        else if (auto* box = qobject_cast<QMessageBox*>(modal))
            box->button(QMessageBox::Ok)->click();
    });
    answer.start(200);

    app.InitInstance();
    CMainFrame* frame = app.MainFrame();
    frame->resize(820, 560);
    int passesEnded = 0;
    QObject::connect(frame->View(), &CChannelView::progressText, frame, [&](const QString& text) {
        if (!text.isEmpty() || ++passesEnded < 2)
            return;
        QTimer::singleShot(800, frame, [&] {
            CChannelView* view = frame->View();
            if (view->topLevelItemCount() > 2)
                view->topLevelItem(2)->setSelected(true);
            view->setFocus();
            QTimer::singleShot(300, frame, [&] {
                if (const int row = RowWithoutLampOrText(*frame->View()); row >= 0) {
                    std::fprintf(stderr, "row %d of %d shows no lamp or no status\n", row,
                                 frame->View()->topLevelItemCount());
                    QApplication::exit(1);
                    return;
                }
                const bool saved = frame->grab().save(output);
                std::fprintf(stderr, saved ? "saved %s\n" : "cannot write %s\n", qPrintable(output));
                if (!saved || report.isEmpty()) {
                    QApplication::exit(saved ? 0 : 1);
                    return;
                }
                frame->View()->OnExportReport();
                const int row = RowMissingFromReport(*frame->View(), report);
                if (row >= 0)
                    std::fprintf(stderr, "%s lacks row %d of %d\n", qPrintable(report), row,
                                 frame->View()->topLevelItemCount());
                else
                    std::fprintf(stderr, "exported %s\n", qPrintable(report));
                QApplication::exit(row >= 0 ? 1 : 0);
            });
        });
    });
    // A mainframe that does not answer gives no prompt; give up after a while.
    QTimer::singleShot(120000, [] {
        std::fprintf(stderr, "the scan and verify pass did not finish\n");
        QApplication::exit(1);
    });
    const int code = QApplication::exec();
    app.ExitInstance();
    return code;
}
