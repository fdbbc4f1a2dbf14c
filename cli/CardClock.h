#pragma once
// Times each card of the scan and the verify pass for the JUnit file, and hands
// every call on to the observer that draws the progress.

#include <array>
#include <chrono>
#include <ctime>

#include "ChannelStatus.h"
#include "IPassObserver.h"

class CCardClock final : public IPassObserver {
public:
    explicit CCardClock(IPassObserver& next) : m_next(next) {}

    void BeginPass(PassKind kind) override;
    void ChannelDone(PassKind kind, int done, int total, int channel, int status) override;
    void EndPass(PassKind kind) override;

    // Seconds from the previous card's end (or the pass's start) to this card's
    // end, in the latest pass that reached it.
    const std::array<double, kChannelCount>& CardSeconds() const { return m_cardSeconds; }
    // From the start of the first pass to the end of the latest one.
    double TotalSeconds() const;
    // Wall-clock time of the start of the first pass.
    std::time_t Started() const { return m_started; }

private:
    using Clock = std::chrono::steady_clock;
    IPassObserver& m_next;
    std::array<double, kChannelCount> m_cardSeconds{};
    bool m_begun = false;
    Clock::time_point m_first{};
    Clock::time_point m_last{};
    Clock::time_point m_ended{};
    std::time_t m_started = 0;
};
