#include "CStreamMessages.h"

#include <ostream>

#include "CInstrument.h"
#include "GpibErrorNames.h"

void CStreamMessages::ShowMessage(const std::string& text, MessageIcon /*icon*/)
{
    if (m_clearLine)
        m_stream << "\r\x1b[K";
    m_stream << text << '\n' << std::flush;
    m_shown.push_back(text);
    m_withCauses.push_back(text);
}

void CStreamMessages::ShowBusError(const std::string& text, const std::string& cause)
{
    ShowMessage(text, MessageIcon::Exclamation);
    if (!cause.empty()) {
        m_stream << cause << '\n';
        m_withCauses.back() += "; " + cause;
    }
    if (m_instrument != nullptr && (m_instrument->FailureStatus().ibsta & gpib::ERR) != 0) {
        const int iberr = m_instrument->FailureStatus().iberr;
        if (*GpibErrorName(iberr) != '\0')
            m_stream << "GPIB error " << iberr << " is " << GpibErrorName(iberr) << ": " << GpibErrorMeaning(iberr)
                     << '\n';
        m_stream << "to do: run valdina-cli doctor, which checks the driver, the board and the mainframe step by step\n";
    }
    m_stream << std::flush;
}
