#include "CMessageBoxSink.h"

#include <QApplication>
#include <QMessageBox>

#include "CMainFrame.h"
#include "CVerifierApp.h"
#include "StringTable.h"
#include "resource.h"

void CMessageBoxSink::ShowMessage(const std::string& text, MessageIcon icon)
{
    QWidget* owner = QApplication::activeModalWidget();
    if (!owner && AfxGetVerifierApp())
        owner = AfxGetVerifierApp()->MainFrame();
    QMessageBox box(icon == MessageIcon::Stop ? QMessageBox::Critical : QMessageBox::Warning,
                    LoadResString(AFX_IDS_APP_TITLE), QString::fromLocal8Bit(text), QMessageBox::Ok, owner);
    box.setWindowModality(Qt::ApplicationModal);
    // Paths and bus texts are shown as they are, never read as markup.
    box.setTextFormat(Qt::PlainText);
    // A scan or pass shows the wait cursor; its message boxes still want a click.
    const bool waiting = QApplication::overrideCursor() != nullptr;
    if (waiting)
        QApplication::setOverrideCursor(Qt::ArrowCursor);
    box.exec();
    if (waiting)
        QApplication::restoreOverrideCursor();
}
