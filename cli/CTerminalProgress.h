#pragma once
// A progress bar for the scan and the verify pass, redrawn in place on one line.
// Only meant for a terminal: StandardErrorIsTerminal() says whether standard error is one.

#include <iosfwd>

#include "IPassObserver.h"

class CTerminalProgress final : public IPassObserver {
public:
    explicit CTerminalProgress(std::ostream& stream) : m_stream(stream) {}

    void BeginPass(PassKind kind) override;
    void ChannelDone(PassKind kind, int done, int total, int channel, int status) override;
    void EndPass(PassKind kind) override;

    static bool StandardErrorIsTerminal();

private:
    std::ostream& m_stream;
    bool m_drawn = false;
};
