#pragma once
// Times each card of the scan and the verify pass for the JUnit file, keeps the
// operator message shown while the card was worked on, and hands every call on
// to the observer that draws the progress.

#include <array>
#include <chrono>
#include <ctime>
#include <string>
#include <vector>

#include "ChannelStatus.h"
#include "IPassObserver.h"

class CCardClock final : public IPassObserver {
public:
    // `messages`: the operator messages shown so far, growing during the run.
    CCardClock(IPassObserver& next, const std::vector<std::string>& messages) : m_next(next), m_messages(messages) {}

    void BeginPass(PassKind kind) override;
    void ChannelDone(PassKind kind, int done, int total, int channel, int status) override;
    void EndPass(PassKind kind) override;

    // Seconds from the previous card's end (or the pass's start) to this card's
    // end, in the latest pass that reached it.
    const std::array<double, kChannelCount>& CardSeconds() const { return m_cardSeconds; }
    // The last message shown in that time; empty when none was.
    const std::array<std::string, kChannelCount>& CardMessages() const { return m_cardMessages; }
    // The cards a pass of `kind` finished (judged, or given up on the bus), in any run of it.
    const std::array<bool, kChannelCount>& CardsDone(PassKind kind) const { return m_done[Index(kind)]; }
    // From the start of the first pass to the end of the latest one.
    double TotalSeconds() const;
    // Wall-clock time of the start of the first pass.
    std::time_t Started() const { return m_started; }

private:
    using Clock = std::chrono::steady_clock;
    static constexpr std::size_t kPassKinds = 4;   // PassKind's values
    static std::size_t Index(PassKind kind) { return static_cast<std::size_t>(kind); }
    IPassObserver& m_next;
    const std::vector<std::string>& m_messages;
    std::size_t m_messagesSeen = 0;
    std::array<double, kChannelCount> m_cardSeconds{};
    std::array<std::string, kChannelCount> m_cardMessages;
    std::array<std::array<bool, kChannelCount>, kPassKinds> m_done{};
    bool m_begun = false;
    Clock::time_point m_first{};
    Clock::time_point m_last{};
    Clock::time_point m_ended{};
    std::time_t m_started = 0;
};
