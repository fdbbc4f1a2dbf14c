#pragma once
// The About box, dialog template 100.

#include <QDialog>
#include <memory>

namespace Ui {
class CAboutBox;
}

class CAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit CAboutBox(QWidget* parent = nullptr);
    ~CAboutBox() override;

private:
    std::unique_ptr<Ui::CAboutBox> m_ui;
};
