#include "CCardClock.h"

namespace {

double SecondsBetween(std::chrono::steady_clock::time_point from, std::chrono::steady_clock::time_point to)
{
    return std::chrono::duration<double>(to - from).count();
}

} // namespace

void CCardClock::BeginPass(PassKind kind)
{
    m_last = Clock::now();
    m_messagesSeen = m_messages.size();
    if (!m_begun) {
        m_begun = true;
        m_first = m_ended = m_last;
        m_started = std::time(nullptr);
    }
    m_next.BeginPass(kind);
}

void CCardClock::ChannelDone(PassKind kind, int done, int total, int channel, int status)
{
    const Clock::time_point now = Clock::now();
    if (channel >= 0 && channel < kChannelCount) {
        const auto card = static_cast<std::size_t>(channel);
        m_cardSeconds[card] = SecondsBetween(m_last, now);
        m_cardMessages[card] = m_messages.size() > m_messagesSeen ? m_messages.back() : std::string();
        m_done[Index(kind)][card] = true;
    }
    m_last = now;
    m_messagesSeen = m_messages.size();
    m_next.ChannelDone(kind, done, total, channel, status);
}

void CCardClock::EndPass(PassKind kind)
{
    m_ended = Clock::now();
    m_next.EndPass(kind);
}

double CCardClock::TotalSeconds() const
{
    return SecondsBetween(m_first, m_ended);
}
