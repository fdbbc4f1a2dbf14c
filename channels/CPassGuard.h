#pragma once
// Holds a pass open on its observer: BeginPass now, EndPass on every way out.

#include "CPassCancel.h"
#include "IPassObserver.h"

class CPassGuard {
public:
    CPassGuard(IPassObserver& observer, PassKind kind)
        : m_observer(observer), m_kind(kind)
    {
        m_observer.BeginPass(m_kind);
    }
    CPassGuard(const CPassGuard&) = delete;
    CPassGuard& operator=(const CPassGuard&) = delete;
    ~CPassGuard() { m_observer.EndPass(m_kind); }

    void CardStarted(int index, int total, int channel) { m_observer.CardStarted(m_kind, index, total, channel); }

    // True when the pass is to stop before its next card, `done` of `total` being finished.
    static bool StopHere(CPassCancel* cancel, int done, int total)
    {
        if (cancel == nullptr || !cancel->Requested())
            return false;
        cancel->MarkStopped(done, total);
        return true;
    }

    // Card `done` of `total` finished.
    void ChannelDone(int done, int total, int channel, int status)
    {
        m_observer.ChannelDone(m_kind, done, total, channel, status);
    }

private:
    IPassObserver& m_observer;
    PassKind m_kind;
};
