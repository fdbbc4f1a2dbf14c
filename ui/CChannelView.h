#pragma once
// The channel list: one row per listed card with its state lamp, and the handlers of
// the tool's own commands. The rows are a display of the channel table; the scan and
// the verify pass write them through the row operations.

#include <QElapsedTimer>
#include <QTreeWidget>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "CPassCancel.h"
#include "CPassEventPump.h"
#include "ChannelTable.h"
#include "IChannelRows.h"
#include "ICommandTarget.h"
#include "IPassObserver.h"
#include "IRowOrder.h"
#include "WindowContext.h"

class CChannelActions;

class CChannelView : public QTreeWidget,
                     public ICommandTarget,
                     public IChannelRows,
                     public IPassObserver,
                     public IRowOrder {
    Q_OBJECT
public:
    // Runs its commands on `context`'s connection and table, one at a time through its
    // command gate, and tells the operator through its message sink.
    explicit CChannelView(const WindowContext& context, QWidget* parent = nullptr);
    ~CChannelView() override;

    // Commands.
    bool HandlesCommand(unsigned id) const override;
    bool OnCmdMsg(unsigned id) override;
    bool ScanChannels();
    void VerifyAllChannels();
    void OnPoke();
    void OnExportReport();
    void OnStartupPrompt();
    // Asks for the report's path; false when the operator cancelled.
    bool PromptReportPath(std::string& path);
    // Replaces the Save As dialog, for callers that already know the path.
    void SetReportPathPrompt(std::function<bool(std::string&)> prompt) { m_promptReportPath = std::move(prompt); }
    // Posts a command to this view; it runs after the current handler has returned.
    void PostCommand(unsigned id);

    // The context menu's actions on the selected cards.
    CChannelActions& Actions() const { return *m_actions; }
    // The channels of the selected rows, in row order.
    std::vector<int> SelectedChannels() const;
    // The stop request that the running scan, pass or action looks at.
    CPassCancel& Cancel() { return m_cancel; }
    // Readies it for the command the operator chose, by whose name a cancel is told:
    // "Verify cancelled after 1 of 2 cards".
    CPassCancel& ArmCancel(std::string command);
    // What an action did, kept in the message pane until the next command.
    void ShowActionSummary(const QString& summary);
    // Added after what the pane keeps until the next command: the card history's notes.
    void AddToMessagePane(const QString& note);
    // How far the last scan, pass or action got when it was cancelled; empty when it
    // ran to its end: "Verify All cancelled after 3 of 8 cards".
    std::string CancelSummary() const;

    // Rows.
    void DeleteAllRows() override;
    int AddChannelRow(const CChannelInfo& info, int rack, int slot) override;
    int FindChannelRow(int channel) override;
    void SetRowText(int row, int column, const std::string& text) override;
    void SetRowImage(int row, int image) override;
    int GetFirstSelectedRow() const;
    int GetRowChannel(int row) const;

    // Sorting by a header click; the column and direction outlive a scan.
    void OnColumnClick(int column);
    int CompareRows(int channelA, int channelB) const override;
    int SortColumn() const { return m_sortInfo.column; }

    // Pass observer: wait cursor, progress shown as each card starts, the window kept
    // painted between transactions.
    void BeginPass(PassKind kind) override;
    void CardStarted(PassKind kind, int index, int total, int channel) override;
    void ChannelDone(PassKind kind, int done, int total, int channel, int status) override;
    void EndPass(PassKind kind) override;

    // Cancel, Esc, the close box: the running scan or pass stops at its next card.
    void CancelPass();
    bool PassRunning() const { return m_pump.Active(); }
    CPassEventPump& Pump() { return m_pump; }

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

signals:
    // Progress of a scan or pass for the status bar; empty when idle.
    void progressText(const QString& text);
    void passRunning(bool running);
    // At the end of a scan or pass: what a cancel left, empty when it ran to its end.
    void passEnded(const QString& summary);
    // A note added to what the message pane keeps.
    void messageNote(const QString& note);

private:
    struct ChannelSortInfo {
        int column = -1;
        const ChannelTable* table = nullptr;
        bool descending = false;
    };

    QTreeWidgetItem* Row(int row) const;

    WindowContext m_context;

    std::vector<QIcon> m_lamps;
    // The row item of each channel, so a pass finds a card's row without a search
    // through every row; rows leave only all at once.
    std::array<QTreeWidgetItem*, kChannelCount> m_rowOfChannel{};
    ChannelSortInfo m_sortInfo;
    std::function<bool(std::string&)> m_promptReportPath;
    CPassCancel m_cancel;
    std::string m_cancelCommand;
    CPassEventPump m_pump{[this] { CancelPass(); }};
    QElapsedTimer m_sinceCardStart;
    CChannelActions* m_actions = nullptr;
};
