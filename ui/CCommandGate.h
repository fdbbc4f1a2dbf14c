#pragma once
// Commands run one at a time to their end. A scan or pass keeps the window painted
// by processing events, and the message boxes of a command run their own loops, so
// a posted command could otherwise start inside another one: it waits here instead.

#include <QObject>
#include <QPointer>
#include <functional>
#include <vector>

class CCommandGate {
public:
    // Runs `command` now, or when the running command has ended.
    void Run(QObject* context, std::function<void()> command);
    // Runs `command` from the event loop, after the current handler has returned.
    void Post(QObject* context, std::function<void()> command);
    bool Busy() const { return m_nDepth > 0; }

private:
    int m_nDepth = 0;
    std::vector<std::pair<QPointer<QObject>, std::function<void()>>> m_waiting;
};
