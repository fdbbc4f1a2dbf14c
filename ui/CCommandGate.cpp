#include "CCommandGate.h"

#include <QMetaObject>

void CCommandGate::Run(QObject* context, std::function<void()> command)
{
    if (m_nDepth > 0) {
        m_waiting.emplace_back(context, std::move(command));
        return;
    }
    ++m_nDepth;
    command();
    --m_nDepth;
    auto waiting = std::move(m_waiting);
    m_waiting.clear();
    for (auto& [target, next] : waiting) {
        if (target)
            Post(target, std::move(next));
    }
}

void CCommandGate::Post(QObject* context, std::function<void()> command)
{
    QMetaObject::invokeMethod(
        context, [this, context, command = std::move(command)]() mutable { Run(context, std::move(command)); },
        Qt::QueuedConnection);
}
