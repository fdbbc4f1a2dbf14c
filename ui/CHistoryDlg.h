#pragma once
// Card History...: a card's entries in the card history by its serial, newest first:
// each run that judged it with the state's lamp, state and error text; each write
// into it as address, byte before, byte written and read back; each image saved from
// it with its file. Export writes the same entries as CSV, as valdina-cli history --csv.

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "HistoryRecords.h"

class IHistoryStore;
class IOperatorMessages;
class QLabel;
class QPushButton;
class QTreeWidget;

class CHistoryDlg : public QDialog {
    Q_OBJECT
public:
    // Asks `store` for the entries of `serial` now; a store that cannot be read is
    // said in the dialog. A failed export goes to `messages`.
    CHistoryDlg(IHistoryStore& store, const std::string& serial, int channel, IOperatorMessages& messages,
                QWidget* parent = nullptr);

    // Replaces the Save As dialog of Export: the suggested name in, the path out;
    // false when the operator cancelled.
    using SavePrompt = std::function<bool(const std::string& suggested, std::string& path)>;
    void SetSavePrompt(SavePrompt prompt) { m_savePrompt = std::move(prompt); }
    void OnExport();

    QTreeWidget* List() const { return m_list; }
    QString SourceText() const;

private:
    void Fill();

    IOperatorMessages& m_messages;
    std::string m_serial;
    std::vector<HistoryEntry> m_entries;
    SavePrompt m_savePrompt;
    QLabel* m_source = nullptr;
    QTreeWidget* m_list = nullptr;
    QPushButton* m_export = nullptr;
};
