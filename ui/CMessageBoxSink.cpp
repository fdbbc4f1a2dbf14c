#include "CMessageBoxSink.h"

#include <QApplication>
#include <QMessageBox>

#include "StringTable.h"
#include "resource.h"

void CMessageBoxSink::ShowMessage(const std::string& text, MessageIcon icon)
{
    QWidget* owner = QApplication::activeModalWidget();
    if (!owner)
        owner = m_owner;
    QMessageBox box(icon == MessageIcon::Stop ? QMessageBox::Critical : QMessageBox::Warning,
                    LoadResString(AFX_IDS_APP_TITLE), QString::fromLocal8Bit(text), QMessageBox::Ok, owner);
    box.setWindowModality(Qt::ApplicationModal);
    // Paths and bus texts are shown as they are, never read as markup.
    box.setTextFormat(Qt::PlainText);
    // The wait cursor of a scan or pass stays up over its message boxes.
    box.exec();
}
