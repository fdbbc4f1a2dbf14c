#pragma once
// Keeps the window alive while a scan or pass holds the thread. Between two bus
// transactions it lets Qt paint, run timers and take window-system events, at most
// once per frame interval. Meanwhile operator input reaches only the Cancel button,
// Esc (which cancels) and the message boxes the pass opens; the rest is dropped, so
// no command, menu or sort starts inside a pass. The close box is not input: the
// frame takes it.

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <functional>

#include "ITransactionObserver.h"

class QWidget;

class CPassEventPump : public QObject, public ITransactionObserver {
public:
    static constexpr int kFrameIntervalMs = 16;

    explicit CPassEventPump(std::function<void()> cancel);
    ~CPassEventPump() override;

    void Begin();
    void End();
    bool Active() const { return m_active; }
    // Handles pending events now, or when a frame interval has passed since the last time.
    void Pump(bool now);

    void SetCancelButton(QWidget* button) { m_cancelButton = button; }
    // Sees every transaction before the pump runs; lets a test watch the bus.
    void SetNext(ITransactionObserver* next) { m_next = next; }
    void OnTransaction(const TransactionRecord& record) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool Allowed(const QWidget* widget) const;

    std::function<void()> m_cancel;
    QPointer<QWidget> m_cancelButton;
    ITransactionObserver* m_next = nullptr;
    QElapsedTimer m_sincePump;
    bool m_active = false;
};
