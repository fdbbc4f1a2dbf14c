#pragma once
// The main window: menu, shortcuts, toolbar and status bar around the channel view,
// and the command chain view -> frame -> the target behind it (the application).

#include <QMainWindow>
#include <map>

#include "ICommandTarget.h"
#include "WindowContext.h"

class CChannelView;
class QAction;
class QLabel;
class QPushButton;
class QShortcut;
class QStatusBar;
class QTimer;
class QToolBar;

class CMainFrame : public QMainWindow, public ICommandTarget {
    Q_OBJECT
public:
    // The view gets `context`; commands neither the view nor the frame handle go on
    // to `next`.
    CMainFrame(const WindowContext& context, ICommandTarget& next);
    ~CMainFrame() override;

    bool HandlesCommand(unsigned id) const override;
    bool OnCmdMsg(unsigned id) override;
    // Runs a command from the menu, a button or a shortcut when some target handles it.
    void ExecuteCommand(unsigned id);
    // Greys the commands no target handles and checks the bar toggles.
    void UpdateCommandUI();

    // The message pane: the text; when it is empty, what the last cancel left until
    // the next command, else "Ready".
    void SetMessageText(const QString& text);
    QString MessageText() const;
    void UpdateIndicators();

    CChannelView* View() const { return m_wndView; }
    QToolBar* ToolBar() const { return m_wndToolBar; }
    // Shown in the status bar only while a scan or pass runs.
    QPushButton* CancelButton() const { return m_cancelButton; }
    QStatusBar* StatusBar() const { return m_wndStatusBar; }
    QAction* CommandAction(unsigned id) const;

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    QAction* MakeAction(unsigned id, const QString& text);
    void BuildMenu();
    void BuildToolBar();
    void BuildStatusBar();
    void BuildAccelerators();
    void OnPassRunning(bool running);
    bool HandlesOwn(unsigned id) const;

    CCommandGate& m_commands;
    ICommandTarget& m_next;
    CChannelView* m_wndView = nullptr;
    QToolBar* m_wndToolBar = nullptr;
    QStatusBar* m_wndStatusBar = nullptr;
    QLabel* m_paneMessage = nullptr;
    QLabel* m_paneCaps = nullptr;
    QLabel* m_paneNum = nullptr;
    QLabel* m_paneScroll = nullptr;
    QPushButton* m_cancelButton = nullptr;
    QString m_strIdleMessage;
    bool m_bCloseAfterPass = false;
    QTimer* m_indicatorTimer = nullptr;
    std::multimap<unsigned, QAction*> m_actions;
};
