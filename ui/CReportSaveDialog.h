#pragma once
// The Save As dialog of the report export.

#include <QFileDialog>

class CReportSaveDialog : public QFileDialog {
    Q_OBJECT
public:
    explicit CReportSaveDialog(QWidget* owner);
};
