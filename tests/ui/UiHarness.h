#pragma once
// Drives the real window on the simulated mainframe: an application object of the
// test's own, the window made by InitInstance, the startup prompt answered by a
// callback, the operator messages recorded instead of shown, and the card history
// in a file of its own.

#include <QTimer>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "../cli/TempFolder.h"

#include "CChannelView.h"
#include "CMainFrame.h"
#include "CVerifierApp.h"
#include "IOperatorMessages.h"
#include "ITransactionObserver.h"

class QDialog;
class QWidget;

class CRecordingMessages final : public IOperatorMessages {
public:
    struct Shown {
        std::string text;
        MessageIcon icon;
        bool overDialog;   // a modal dialog was still open
    };
    void ShowMessage(const std::string& text, MessageIcon icon) override;
    std::vector<Shown> shown;
};

// Runs `action` once on the next modal widget that opens, once it is the active window.
class CModalDriver {
public:
    explicit CModalDriver(std::function<void(QWidget*)> action);
    ~CModalDriver();
    bool Fired() const { return m_fired; }

private:
    std::function<void(QWidget*)> m_action;
    QTimer m_timer;
    bool m_fired = false;
};

// Calls `seen` with every paint of any widget while it lives.
class PaintWatcher : public QObject {
public:
    explicit PaintWatcher(std::function<void(QObject*, const QRegion&)> seen);
    ~PaintWatcher() override;

protected:
    bool eventFilter(QObject* target, QEvent* event) override;

private:
    std::function<void(QObject*, const QRegion&)> m_seen;
};

// Calls `seen` with every transaction on the bus (chained behind the window's pump).
class BusWatcher final : public ITransactionObserver {
public:
    explicit BusWatcher(std::function<void(const TransactionRecord&)> seen) : m_seen(std::move(seen)) {}
    void OnTransaction(const TransactionRecord& record) override { m_seen(record); }

private:
    std::function<void(const TransactionRecord&)> m_seen;
};

// Delivers every posted event, including those posted on the way.
void DrainEvents();

// Answers to the startup prompt.
void ClickOk(QWidget* dialog);
void ClickCancel(QWidget* dialog);

// VALDINA_HISTORY named for as long as it lives: by default a fresh file in a
// folder of its own, so no window test records into the user's card history.
class CTestHistory {
public:
    explicit CTestHistory(std::optional<std::filesystem::path> path = std::nullopt);
    ~CTestHistory();
    CTestHistory(const CTestHistory&) = delete;
    CTestHistory& operator=(const CTestHistory&) = delete;
    const std::filesystem::path& Path() const { return m_path; }

private:
    TempFolder m_folder;
    std::filesystem::path m_path;
    std::optional<QByteArray> m_old;
};

class CWindowHarness {
public:
    // `startupAnswer` answers the prompt when the mainframe answers; null: no prompt expected.
    // With `messageBoxes` the window shows its real message boxes instead of recording them.
    // `historyFile`: the card history's file; none: a fresh one.
    explicit CWindowHarness(std::function<void(QWidget*)> startupAnswer = ClickCancel, bool messageBoxes = false,
                            std::optional<std::filesystem::path> historyFile = std::nullopt);
    ~CWindowHarness();

    CMainFrame& Frame() const { return *app.MainFrame(); }
    CChannelView& View() const { return *app.MainFrame()->View(); }
    bool PromptShown() const { return m_promptShown; }
    // Channel numbers of the rows in display order, and one column's texts.
    std::vector<int> RowChannels() const;
    std::vector<std::string> ColumnTexts(int column) const;
    int RowOf(int channel) const { return View().FindChannelRow(channel); }
    void SelectChannels(const std::vector<int>& channels);
    // Runs a command as the menu would.
    void Command(unsigned id);
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

    CTestHistory history;   // before the application, which opens it
    CRecordingMessages messages;
    CVerifierApp app;

private:
    bool m_promptShown = false;
};
