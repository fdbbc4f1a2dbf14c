#pragma once
// The EEPROM byte dialog, template 132: read and write one byte of one card.

#include <QDialog>
#include <QString>
#include <memory>

class CInstrument;
class IOperatorMessages;

namespace Ui {
class CPokeDlg;
}

class CPokeDlg : public QDialog {
    Q_OBJECT
public:
    // Reads through `instrument`; refusals go to `messages`.
    CPokeDlg(CInstrument& instrument, IOperatorMessages& messages, QWidget* parent = nullptr);
    ~CPokeDlg() override;

    // Runs the dialog with the members in the fields; 1 for OK, 2 otherwise.
    int DoModal();
    // Reads the byte at the Address field's address into the Data field.
    void OnRead();
    // OK: refuses an address beyond 16 bits and stays open; else takes the fields.
    void accept() override;

    QString m_strAddress;
    QString m_strData;
    int m_nChannel = -1;

private:
    // False, after telling the operator, when `text` names no 16-bit address.
    bool CheckAddress(const QString& text);

    CInstrument& m_instrument;
    IOperatorMessages& m_messages;
    std::unique_ptr<Ui::CPokeDlg> m_ui;
};
