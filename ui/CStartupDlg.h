#pragma once
// The startup prompt, dialog template 131: scan now, and verify at once?

#include <QDialog>
#include <memory>

namespace Ui {
class CStartupDlg;
}

class CStartupDlg : public QDialog {
    Q_OBJECT
public:
    explicit CStartupDlg(QWidget* parent = nullptr);
    ~CStartupDlg() override;

    // Runs the dialog; 1 for OK, 2 for Cancel. OK takes the box into m_bVerify.
    int DoModal();

    int m_bVerify = 1;

private:
    std::unique_ptr<Ui::CStartupDlg> m_ui;
};
