#pragma once
// The operator's messages without a window: each one a line on a stream
// (standard error), kept so that --json and --junit can list them too.

#include <iosfwd>
#include <string>
#include <vector>

#include "IOperatorMessages.h"

class CInstrument;

class CStreamMessages final : public IOperatorMessages {
public:
    // `clearLine`: the stream is a terminal that may show a progress bar, which
    // the message replaces; the bar is drawn again below it.
    explicit CStreamMessages(std::ostream& stream, bool clearLine = false) : m_stream(stream), m_clearLine(clearLine) {}

    void ShowMessage(const std::string& text, MessageIcon icon) override;
    // The message as always, then the driver's cause on a line of its own, and
    // after a driver error of the explained instrument its name and where to look.
    void ShowBusError(const std::string& text, const std::string& cause) override;
    // Driver failures of `instrument` get the error's name and a pointer to
    // `valdina-cli doctor` below them; null: none.
    void ExplainDriverErrors(const CInstrument* instrument) { m_instrument = instrument; }
    const std::vector<std::string>& Shown() const { return m_shown; }
    // As Shown(), each bus error followed by "; " and its driver cause where known.
    const std::vector<std::string>& ShownWithCauses() const { return m_withCauses; }

private:
    std::ostream& m_stream;
    bool m_clearLine;
    const CInstrument* m_instrument = nullptr;
    std::vector<std::string> m_shown;
    std::vector<std::string> m_withCauses;
};
