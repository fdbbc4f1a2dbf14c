#pragma once
// The outcome of Compare with Image: the differing addresses by block, in a fixed
// font so the columns line up.

#include <QDialog>
#include <string>

class QPlainTextEdit;

class CImageCompareDlg : public QDialog {
    Q_OBJECT
public:
    CImageCompareDlg(const std::string& text, QWidget* parent = nullptr);
    QString Text() const;

private:
    QPlainTextEdit* m_text = nullptr;
};
