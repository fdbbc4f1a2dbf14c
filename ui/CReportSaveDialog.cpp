#include "CReportSaveDialog.h"

#include "StringTable.h"
#include "resource.h"

CReportSaveDialog::CReportSaveDialog(QWidget* owner) : QFileDialog(owner)
{
    setAcceptMode(QFileDialog::AcceptSave);
    setFileMode(QFileDialog::AnyFile);
    setNameFilters({QStringLiteral("Text File (*.txt)"), LoadResString(AFX_IDS_ALLFILTER)});
    selectNameFilter(QStringLiteral("Text File (*.txt)"));
    setDefaultSuffix(QStringLiteral("txt"));
    selectFile(QStringLiteral("Valdina.txt"));
    setOption(QFileDialog::DontConfirmOverwrite, false);
}
