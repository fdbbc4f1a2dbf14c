#pragma once
// Counts what a scan or verify pass reported, and passes every call on to the
// progress bar when there is one.

#include "IPassObserver.h"

class CPassTally final : public IPassObserver {
public:
    explicit CPassTally(IPassObserver* next = nullptr) : m_next(next) {}

    void BeginPass(PassKind kind) override;
    void ChannelDone(PassKind kind, int done, int total, int channel, int status) override;
    void EndPass(PassKind kind) override;

    // Cards reported done by the latest pass.
    int ChannelsDone() const { return m_done; }

private:
    IPassObserver* m_next;
    int m_done = 0;
};
