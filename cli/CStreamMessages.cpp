#include "CStreamMessages.h"

#include <ostream>

void CStreamMessages::ShowMessage(const std::string& text, MessageIcon /*icon*/)
{
    if (m_clearLine)
        m_stream << "\r\x1b[K";
    m_stream << text << '\n' << std::flush;
    m_shown.push_back(text);
}

void CStreamMessages::ShowBusError(const std::string& text, const std::string& cause)
{
    ShowMessage(text, MessageIcon::Exclamation);
    if (!cause.empty())
        m_stream << cause << '\n' << std::flush;
}
