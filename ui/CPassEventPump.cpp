#include "CPassEventPump.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace {
bool IsOperatorInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::HoverMove:
    case QEvent::StatusTip:
    case QEvent::ToolTip:
    case QEvent::WhatsThis:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::DragEnter:
    case QEvent::Drop:
        return true;
    default:
        return false;
    }
}

bool Within(const QWidget* widget, const QWidget* area)
{
    return area && (widget == area || area->isAncestorOf(widget));
}
}

CPassEventPump::CPassEventPump(std::function<void()> cancel) : m_cancel(std::move(cancel)) {}

CPassEventPump::~CPassEventPump()
{
    End();
}

void CPassEventPump::Begin()
{
    if (m_active)
        return;
    m_active = true;
    qApp->installEventFilter(this);
    m_sincePump.start();
}

void CPassEventPump::End()
{
    if (!m_active)
        return;
    m_active = false;
    qApp->removeEventFilter(this);
}

void CPassEventPump::Pump(bool now)
{
    if (!m_active || (!now && m_sincePump.elapsed() < kFrameIntervalMs))
        return;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    m_sincePump.start();
}

void CPassEventPump::OnTransaction(const TransactionRecord& record)
{
    if (m_next)
        m_next->OnTransaction(record);
    Pump(false);
}

bool CPassEventPump::Allowed(const QWidget* widget) const
{
    // The pass's own message boxes run their own loop and want their clicks.
    const QWidget* modal = QApplication::activeModalWidget();
    return Within(widget, modal) || Within(widget, m_cancelButton);
}

bool CPassEventPump::eventFilter(QObject* watched, QEvent* event)
{
    if (!IsOperatorInput(event->type()) || !watched->isWidgetType() || Allowed(static_cast<QWidget*>(watched)))
        return false;
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && m_cancel)
        m_cancel();
    // An accepted shortcut override keeps the shortcut from firing.
    event->accept();
    return true;
}
