#include "CTerminalProgress.h"

#include <ostream>
#include <string>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

constexpr int kBarWidth = 40;

const char* PassName(PassKind kind)
{
    switch (kind) {
    case PassKind::Scan:
        return "scan  ";
    case PassKind::Verify:
        return "verify";
    case PassKind::Save:
        return "save  ";
    case PassKind::Restore:
        break;
    }
    return "restore";
}

} // namespace

void CTerminalProgress::BeginPass(PassKind /*kind*/)
{
    m_drawn = false;
}

void CTerminalProgress::ChannelDone(PassKind kind, int done, int total, int channel, int /*status*/)
{
    if (total <= 0)
        return;
    const int filled = done * kBarWidth / total;
    // \r goes back to the start of the line; the bar always has the same width.
    // Numbers as text of their own: the stream's locale may group digits.
    m_stream << '\r' << PassName(kind) << " [" << std::string(static_cast<std::size_t>(filled), '#')
             << std::string(static_cast<std::size_t>(kBarWidth - filled), ' ') << "] " << std::to_string(done) << '/'
             << std::to_string(total) << " channel " << std::to_string(channel) << "   " << std::flush;
    m_drawn = true;
}

void CTerminalProgress::EndPass(PassKind /*kind*/)
{
    if (m_drawn)
        m_stream << '\n' << std::flush;
    m_drawn = false;
}

bool CTerminalProgress::StandardErrorIsTerminal()
{
#ifdef _WIN32
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(STDERR_FILENO) != 0;
#endif
}
