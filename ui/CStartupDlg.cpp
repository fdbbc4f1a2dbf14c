#include "CStartupDlg.h"

#include "DialogUnits.h"
#include "forms/ui_startup.h"

CStartupDlg::CStartupDlg(QWidget* parent) : QDialog(parent), m_ui(std::make_unique<Ui::CStartupDlg>())
{
    m_ui->setupUi(this);
    MapDialogUnits(*this);
}

CStartupDlg::~CStartupDlg() = default;

int CStartupDlg::DoModal()
{
    m_ui->IDC_VERIFY_NOW->setChecked(m_bVerify != 0);
    m_ui->IDOK->setFocus();
    if (exec() != QDialog::Accepted)
        return 2;
    m_bVerify = m_ui->IDC_VERIFY_NOW->isChecked() ? 1 : 0;
    return 1;
}
