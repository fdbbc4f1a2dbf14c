#include "CMessageBoxSink.h"

#include <QApplication>
#include <QMessageBox>

#include "StringTable.h"
#include "resource.h"

void CMessageBoxSink::ShowMessage(const std::string& text, MessageIcon icon)
{
    Show(text, QString(), icon);
}

void CMessageBoxSink::ShowBusError(const std::string& text, const std::string& cause)
{
    if (cause.empty()) {
        ShowMessage(text, MessageIcon::Exclamation);
        return;
    }
    // A cause comes only with a driver that failed as a whole (EDVR): nothing on
    // the bus can be reached, and doctor walks the set-up step by step.
    Show(text,
         QString::fromLocal8Bit(cause) +
             QStringLiteral("\n\nRun \"valdina-cli doctor\" to find which step of the GPIB set-up fails."),
         MessageIcon::Exclamation);
}

void CMessageBoxSink::Show(const std::string& text, const QString& details, MessageIcon icon)
{
    QWidget* owner = QApplication::activeModalWidget();
    if (!owner)
        owner = m_owner;
    QMessageBox box(icon == MessageIcon::Stop ? QMessageBox::Critical : QMessageBox::Warning,
                    LoadResString(AFX_IDS_APP_TITLE), QString::fromLocal8Bit(text), QMessageBox::Ok, owner);
    box.setWindowModality(Qt::ApplicationModal);
    // Paths and bus texts are shown as they are, never read as markup.
    box.setTextFormat(Qt::PlainText);
    // Below the message, in the box's smaller informative text.
    box.setInformativeText(details);
    // The wait cursor of a scan or pass stays up over its message boxes.
    box.exec();
}
