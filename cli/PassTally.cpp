#include "PassTally.h"

void CPassTally::BeginPass(PassKind kind)
{
    m_done = 0;
    if (m_next != nullptr)
        m_next->BeginPass(kind);
}

void CPassTally::ChannelDone(PassKind kind, int done, int total, int channel, int status)
{
    ++m_done;
    if (m_next != nullptr)
        m_next->ChannelDone(kind, done, total, channel, status);
}

void CPassTally::EndPass(PassKind kind)
{
    if (m_next != nullptr)
        m_next->EndPass(kind);
}
