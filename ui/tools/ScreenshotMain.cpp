// Takes the picture of the window for the documentation: starts the window as the
// program does, answers the startup prompt with OK (scan, then verify), closes the
// message boxes of the pass, and saves the main window once the pass has ended. It
// fails when the list is empty or a card's row lacks its lamp or status text, so
// the Windows build's real-window run checks what the operator would see.
// Usage: valdina-screenshot OUTPUT.png

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
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

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.png\n", argv[0]);
        return 2;
    }
    const QString output = QString::fromLocal8Bit(argv[1]);
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
                QApplication::exit(saved ? 0 : 1);
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
