#include "CReportSaveDialog.h"

#include "StringTable.h"
#include "resource.h"

CReportSaveDialog::CReportSaveDialog(QWidget* owner) : QFileDialog(owner)
{
    setAcceptMode(QFileDialog::AcceptSave);
    setFileMode(QFileDialog::AnyFile);
    const QString textFiles = QStringLiteral("Text File (*.txt)");
#ifdef Q_OS_WIN
    setNameFilters({textFiles, LoadResString(AFX_IDS_ALLFILTER)});
    selectNameFilter(textFiles);
#else
    // "*.*" wants a dot here, so "All Files (*.*)" would hide files without one. The
    // texts stay as they are; the patterns that follow them, which the dialog does
    // not show, are the ones that count.
    setOption(QFileDialog::HideNameFilterDetails);
    setNameFilters({textFiles + QStringLiteral(" (*.txt)"), LoadResString(AFX_IDS_ALLFILTER) + QStringLiteral(" (*)")});
    selectNameFilter(nameFilters().constFirst());
#endif
    setDefaultSuffix(QStringLiteral("txt"));
    selectFile(QStringLiteral("Valdina.txt"));
    setOption(QFileDialog::DontConfirmOverwrite, false);
}
