#pragma once
// The operator's messages without a window: each one a line on a stream
// (standard error), kept so that --json can list them too.

#include <iosfwd>
#include <string>
#include <vector>

#include "IOperatorMessages.h"

class CStreamMessages final : public IOperatorMessages {
public:
    // `clearLine`: the stream is a terminal that may show a progress bar, which
    // the message replaces; the bar is drawn again below it.
    explicit CStreamMessages(std::ostream& stream, bool clearLine = false) : m_stream(stream), m_clearLine(clearLine) {}

    void ShowMessage(const std::string& text, MessageIcon icon) override;
    // The message as always, then the driver's cause on a line of its own.
    void ShowBusError(const std::string& text, const std::string& cause) override;
    const std::vector<std::string>& Shown() const { return m_shown; }

private:
    std::ostream& m_stream;
    bool m_clearLine;
    std::vector<std::string> m_shown;
};
