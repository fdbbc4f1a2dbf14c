#pragma once
// Watches a scan, verify pass, image save or image restore (whose "cards" are the
// bytes written): the window holds the wait cursor between Begin and
// End and names each card as it starts; the command line draws a progress bar.
// Observing changes nothing of the bus traffic, states, texts or messages.

enum class PassKind { Scan, Verify, Restore, Save };

class IPassObserver {
public:
    virtual ~IPassObserver() = default;
    virtual void BeginPass(PassKind kind) = 0;
    // Card `index` of `total` (1-based) starts: before its first command of the
    // scan, after it was marked reading in the pass (before its first EEPROM read).
    virtual void CardStarted(PassKind, int /*index*/, int /*total*/, int /*channel*/) {}
    // Card `done` of `total` (1-based) finished; `channel` and its state afterwards.
    virtual void ChannelDone(PassKind kind, int done, int total, int channel, int status) = 0;
    // Called on every path out of the pass.
    virtual void EndPass(PassKind kind) = 0;
};

// For runs that nobody watches.
class CNoPassObserver final : public IPassObserver {
public:
    void BeginPass(PassKind) override {}
    void ChannelDone(PassKind, int, int, int, int) override {}
    void EndPass(PassKind) override {}
};
