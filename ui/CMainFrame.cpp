#include "CMainFrame.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTimer>
#include <QToolBar>

#include "CChannelView.h"
#include "CCommandGate.h"
#include "LockKeyState.h"
#include "MainFrameResource.h"
#include "ResourceImages.h"
#include "StringTable.h"
#include "resource.h"

namespace {
constexpr int kIndicatorPollMs = 250;

QLabel* MakeIndicator(QStatusBar* bar, unsigned id)
{
    auto* pane = new QLabel(bar);
    pane->setObjectName(QStringLiteral("ID_INDICATOR_%1").arg(id));
    pane->setFrameShape(QFrame::Panel);
    pane->setFrameShadow(QFrame::Sunken);
    pane->setAlignment(Qt::AlignCenter);
    pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance(LoadResString(id)) + 8);
    bar->addPermanentWidget(pane);
    return pane;
}
}

CMainFrame::CMainFrame(const WindowContext& context, ICommandTarget& next) : m_commands(context.commands), m_next(next)
{
    setObjectName(QStringLiteral("IDR_MAINFRAME"));
    setWindowTitle(LoadResString(IDR_MAINFRAME));

    m_wndView = new CChannelView(context, this);
    setCentralWidget(m_wndView);
    BuildMenu();
    BuildToolBar();
    BuildStatusBar();
    BuildAccelerators();
    connect(m_wndView, &CChannelView::progressText, this, &CMainFrame::SetMessageText);
    connect(m_wndView, &CChannelView::passEnded, this, [this](const QString& summary) { m_strIdleMessage = summary; });
    connect(m_wndView, &CChannelView::messageNote, this, [this](const QString& note) {
        m_strIdleMessage = m_strIdleMessage.isEmpty() ? note : m_strIdleMessage + QStringLiteral("  ") + note;
        SetMessageText(QString());
    });
    connect(m_wndView, &CChannelView::passRunning, this, &CMainFrame::OnPassRunning);

    UpdateCommandUI();
    resize(760, 480);
}

CMainFrame::~CMainFrame() = default;

QAction* CMainFrame::MakeAction(unsigned id, const QString& text)
{
    auto* action = new QAction(text, this);
    action->setData(id);
    action->setStatusTip(CommandPrompt(id));
    action->setToolTip(CommandTooltip(id));
    action->setIconVisibleInMenu(false);
    connect(action, &QAction::triggered, this, [this, id] { ExecuteCommand(id); });
    m_actions.emplace(id, action);
    return action;
}

QAction* CMainFrame::CommandAction(unsigned id) const
{
    const auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

void CMainFrame::BuildMenu()
{
    for (const MenuPopupResource& popup : MainMenuResource()) {
        QMenu* menu = menuBar()->addMenu(QString::fromLatin1(popup.title));
        for (const MenuItemResource& item : popup.items) {
            if (!item.text) {
                menu->addSeparator();
                continue;
            }
            QAction* action = MakeAction(item.id, QString::fromLatin1(item.text));
            if (item.id == ID_VIEW_TOOLBAR || item.id == ID_VIEW_STATUS_BAR)
                action->setCheckable(true);
            menu->addAction(action);
        }
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandUI);
    }
}

void CMainFrame::BuildToolBar()
{
    m_wndToolBar = new QToolBar(this);
    m_wndToolBar->setObjectName(QStringLiteral("AFX_IDW_TOOLBAR"));
    m_wndToolBar->setIconSize(QSize(kToolbarImageWidth, kToolbarImageHeight));
    m_wndToolBar->setMovable(true);
    m_wndToolBar->setFloatable(true);
    m_wndToolBar->setAllowedAreas(Qt::AllToolBarAreas);
    m_wndToolBar->toggleViewAction()->setVisible(false);

    const std::vector<QIcon> images = ToolbarIcons(palette().color(QPalette::Button));
    size_t image = 0;
    for (unsigned id : ToolbarResource()) {
        if (id == ID_SEPARATOR) {
            m_wndToolBar->addSeparator();
            continue;
        }
        // A button shares the menu item's action when there is one.
        QAction* action = CommandAction(id);
        if (!action)
            action = MakeAction(id, CommandTooltip(id));
        if (image < images.size())
            action->setIcon(images[image++]);
        m_wndToolBar->addAction(action);
    }
    addToolBar(Qt::TopToolBarArea, m_wndToolBar);
    connect(m_wndToolBar, &QToolBar::visibilityChanged, this, &CMainFrame::UpdateCommandUI);
}

void CMainFrame::BuildStatusBar()
{
    m_wndStatusBar = new QStatusBar(this);
    m_wndStatusBar->setObjectName(QStringLiteral("AFX_IDW_STATUS_BAR"));
    m_paneMessage = new QLabel(m_wndStatusBar);
    m_paneMessage->setObjectName(QStringLiteral("ID_SEPARATOR"));
    // A long text (a card history's note) is cut at the pane's edge, and shown whole
    // as its tooltip, rather than widening the window.
    m_paneMessage->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_wndStatusBar->addWidget(m_paneMessage, 1);
    m_cancelButton = new QPushButton(QStringLiteral("Cancel"), m_wndStatusBar);
    m_cancelButton->setObjectName(QStringLiteral("ID_CANCEL_PASS"));
    m_cancelButton->setFocusPolicy(Qt::NoFocus);
    m_wndStatusBar->addPermanentWidget(m_cancelButton);
    m_cancelButton->hide();
    connect(m_cancelButton, &QPushButton::clicked, m_wndView, &CChannelView::CancelPass);
    m_wndView->Pump().SetCancelButton(m_cancelButton);
    m_paneCaps = MakeIndicator(m_wndStatusBar, ID_INDICATOR_CAPS);
    m_paneNum = MakeIndicator(m_wndStatusBar, ID_INDICATOR_NUM);
    m_paneScroll = MakeIndicator(m_wndStatusBar, ID_INDICATOR_SCRL);
    setStatusBar(m_wndStatusBar);
    SetMessageText(QString());

    m_indicatorTimer = new QTimer(this);
    connect(m_indicatorTimer, &QTimer::timeout, this, &CMainFrame::UpdateIndicators);
    m_indicatorTimer->start(kIndicatorPollMs);
    UpdateIndicators();
}

void CMainFrame::BuildAccelerators()
{
    // Shortcuts always take their keys; a command nobody handles then does nothing.
    for (const AcceleratorResource& accelerator : AcceleratorTableResource()) {
        auto* shortcut = new QShortcut(accelerator.keys, this);
        shortcut->setContext(Qt::WindowShortcut);
        const unsigned id = accelerator.id;
        connect(shortcut, &QShortcut::activated, this, [this, id] { ExecuteCommand(id); });
        connect(shortcut, &QShortcut::activatedAmbiguously, this, [this, id] { ExecuteCommand(id); });
    }
}

void CMainFrame::SetMessageText(const QString& text)
{
    if (!text.isEmpty())
        m_paneMessage->setText(text);
    else
        m_paneMessage->setText(m_strIdleMessage.isEmpty() ? LoadResString(AFX_IDS_IDLEMESSAGE) : m_strIdleMessage);
    m_paneMessage->setToolTip(m_paneMessage->text());
}

QString CMainFrame::MessageText() const
{
    return m_paneMessage->text();
}

void CMainFrame::UpdateIndicators()
{
    const LockKeyState keys = QueryLockKeyState();
    m_paneCaps->setText(keys.known && keys.caps ? LoadResString(ID_INDICATOR_CAPS) : QString());
    m_paneNum->setText(keys.known && keys.num ? LoadResString(ID_INDICATOR_NUM) : QString());
    m_paneScroll->setText(keys.known && keys.scroll ? LoadResString(ID_INDICATOR_SCRL) : QString());
}

// ---- command routing

bool CMainFrame::HandlesOwn(unsigned id) const
{
    return id == ID_VIEW_TOOLBAR || id == ID_VIEW_STATUS_BAR;
}

bool CMainFrame::HandlesCommand(unsigned id) const
{
    return m_wndView->HandlesCommand(id) || HandlesOwn(id) || m_next.HandlesCommand(id);
}

bool CMainFrame::OnCmdMsg(unsigned id)
{
    if (m_wndView->OnCmdMsg(id))
        return true;
    switch (id) {
    case ID_VIEW_TOOLBAR:
        m_wndToolBar->setVisible(m_wndToolBar->isHidden());
        UpdateCommandUI();
        return true;
    case ID_VIEW_STATUS_BAR:
        m_wndStatusBar->setVisible(m_wndStatusBar->isHidden());
        UpdateCommandUI();
        return true;
    default:
        return m_next.OnCmdMsg(id);
    }
}

void CMainFrame::ExecuteCommand(unsigned id)
{
    if (!HandlesCommand(id))
        return;
    if (!m_strIdleMessage.isEmpty()) {
        m_strIdleMessage.clear();
        SetMessageText(QString());
    }
    m_commands.Run(this, [this, id] { OnCmdMsg(id); });
}

void CMainFrame::UpdateCommandUI()
{
    for (const auto& [id, action] : m_actions) {
        action->setEnabled(HandlesCommand(id));
        if (id == ID_VIEW_TOOLBAR)
            action->setChecked(!m_wndToolBar->isHidden());
        else if (id == ID_VIEW_STATUS_BAR)
            action->setChecked(!m_wndStatusBar->isHidden());
    }
}

// ---- window events

bool CMainFrame::event(QEvent* event)
{
    // Prompts of menu items and buttons go to the message pane, "Ready" when none.
    if (event->type() == QEvent::StatusTip) {
        SetMessageText(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

void CMainFrame::OnPassRunning(bool running)
{
    m_cancelButton->setVisible(running);
    // A close asked for during the pass comes after the command has returned.
    if (!running && m_bCloseAfterPass) {
        m_bCloseAfterPass = false;
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
    }
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (m_wndView->PassRunning()) {
        m_bCloseAfterPass = true;
        m_wndView->CancelPass();
        event->ignore();
        return;
    }
    // Any other running command ends first; the window cannot go from under it.
    if (m_commands.Busy()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

void CMainFrame::focusInEvent(QFocusEvent* event)
{
    QMainWindow::focusInEvent(event);
    m_wndView->setFocus();
}
