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
};
