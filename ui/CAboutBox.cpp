#include "CAboutBox.h"

#include "DialogUnits.h"
#include "ResourceImages.h"
#include "forms/ui_about.h"

CAboutBox::CAboutBox(QWidget* parent) : QDialog(parent), m_ui(std::make_unique<Ui::CAboutBox>())
{
    m_ui->setupUi(this);
    MapDialogUnits(*this);
    m_ui->IDR_MAINFRAME->setPixmap(AppIcon().pixmap(32, 32));
}

CAboutBox::~CAboutBox() = default;
