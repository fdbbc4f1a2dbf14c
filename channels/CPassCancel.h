#pragma once
// A request to stop a scan or verify pass at its next card: the card in progress is
// finished and judged, no later card is touched. Request may come from anywhere,
// also from a signal handler; the pass looks before each card and notes where it
// stopped, so the front end can say so.

#include <atomic>
#include <string>
#include <string_view>

class CPassCancel {
public:
    // Async-signal-safe.
    void Request() noexcept { m_requested.store(true, std::memory_order_relaxed); }
    bool Requested() const noexcept { return m_requested.load(std::memory_order_relaxed); }
    // Forgets the request and where a pass stopped.
    void Reset() noexcept
    {
        m_requested.store(false, std::memory_order_relaxed);
        m_stopped = false;
        m_done = m_total = 0;
    }

    // Set by the pass that stopped: cards finished and cards it had.
    void MarkStopped(int done, int total) noexcept
    {
        m_stopped = true;
        m_done = done;
        m_total = total;
    }
    bool Stopped() const noexcept { return m_stopped; }
    int Done() const noexcept { return m_done; }
    int Total() const noexcept { return m_total; }
    // What both front ends say of a stopped pass: "verify cancelled after 2 of 3 cards".
    std::string Summary(std::string_view pass) const
    {
        return std::string(pass) + " cancelled after " + std::to_string(m_done) + " of " + std::to_string(m_total) +
            " cards";
    }

private:
    static_assert(std::atomic<bool>::is_always_lock_free, "a signal handler sets the request");
    std::atomic<bool> m_requested{false};
    bool m_stopped = false;
    int m_done = 0;
    int m_total = 0;
};
