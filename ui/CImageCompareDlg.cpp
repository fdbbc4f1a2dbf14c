#include "CImageCompareDlg.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QVBoxLayout>

CImageCompareDlg::CImageCompareDlg(const std::string& text, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("IDD_IMAGE_COMPARE"));
    setWindowTitle(QStringLiteral("Compare with Image"));
    m_text = new QPlainTextEdit(this);
    m_text->setReadOnly(true);
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_text->setPlainText(QString::fromLocal8Bit(text));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addWidget(buttons);
    resize(460, 360);
}

QString CImageCompareDlg::Text() const
{
    return m_text->toPlainText();
}
