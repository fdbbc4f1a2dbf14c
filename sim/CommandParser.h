#pragma once

#include <string_view>

#include "Command.h"

namespace zsim {

// Turns command text into a Command; anything not exactly in the mainframe's
// syntax comes back as Unknown, which the mainframe answers with error 0x01.
class CommandParser {
public:
    static Command parse(std::string_view text);
};

}  // namespace zsim
