#include "CPokeDlg.h"

#include <cstdint>

#include "CEepromBytes.h"
#include "CInstrument.h"
#include "DialogUnits.h"
#include "IOperatorMessages.h"
#include "ParseNumber.h"
#include "forms/ui_poke.h"

CPokeDlg::CPokeDlg(CInstrument& instrument, IOperatorMessages& messages, QWidget* parent)
    : QDialog(parent), m_instrument(instrument), m_messages(messages), m_ui(std::make_unique<Ui::CPokeDlg>())
{
    m_ui->setupUi(this);
    MapDialogUnits(*this);
    connect(m_ui->IDC_READ, &QPushButton::clicked, this, &CPokeDlg::OnRead);
}

CPokeDlg::~CPokeDlg() = default;

int CPokeDlg::DoModal()
{
    m_ui->IDC_ADDRESS->setText(m_strAddress);
    m_ui->IDC_DATA->setText(m_strData);
    m_ui->IDOK->setFocus();
    return exec() == QDialog::Accepted ? 1 : 2;
}

bool CPokeDlg::CheckAddress(const QString& text)
{
    const QByteArray bytes = text.toLatin1();
    const std::uint32_t address = ParseNumber(std::string_view(bytes.constData(), bytes.size()));
    const std::string refused =
        EepromRangeRefusal(kEepromAddressRange, std::string_view(bytes.constData(), bytes.size()), address);
    if (refused.empty())
        return true;
    // A wider address must not be cut short to 16 bits.
    m_messages.ShowMessage(refused, MessageIcon::Exclamation);
    m_ui->IDC_ADDRESS->setFocus();
    m_ui->IDC_ADDRESS->selectAll();
    return false;
}

void CPokeDlg::OnRead()
{
    const QString text = m_ui->IDC_ADDRESS->text();
    if (!CheckAddress(text))
        return;
    const QByteArray bytes = text.toLatin1();
    const auto address = static_cast<std::uint16_t>(ParseNumber(std::string_view(bytes.constData(), bytes.size())));
    std::uint8_t data = 0;
    if (!CEepromBytes(m_instrument).ReadByte(m_nChannel, address, data))
        return;
    m_ui->IDC_DATA->setText(QString::asprintf("0x%02X", data));
    m_ui->IDC_DATA->setFocus();
}

void CPokeDlg::accept()
{
    if (!CheckAddress(m_ui->IDC_ADDRESS->text()))
        return;
    m_strAddress = m_ui->IDC_ADDRESS->text();
    m_strData = m_ui->IDC_DATA->text();
    QDialog::accept();
}
