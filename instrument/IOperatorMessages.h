#pragma once
// How the core reaches the operator: a modal message box in the window, standard
// error in the command line, a recorder in tests.

#include <string>

enum class MessageIcon { Exclamation, Stop };

class IOperatorMessages {
public:
    virtual ~IOperatorMessages() = default;
    // Returns when the operator has dismissed the message.
    virtual void ShowMessage(const std::string& text, MessageIcon icon) = 0;
    // A failed bus operation's message, and the driver's own cause ("driver: ...",
    // may be empty). Sinks without room for the cause show the message alone.
    virtual void ShowBusError(const std::string& text, const std::string& /*cause*/)
    {
        ShowMessage(text, MessageIcon::Exclamation);
    }
};
