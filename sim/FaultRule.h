#pragma once

#include <optional>
#include <string>

#include "Command.h"

namespace zsim {

enum class FaultKind { NoSrq, Timeout, ShortReply, Error, SendError, Signal, Swap, Flip };

// One injected fault: which transactions it hits and what goes wrong.
struct FaultRule {
    CommandKind command = CommandKind::Unknown;
    std::optional<int> channel;        // selected card, Select argument or frame target
    std::optional<unsigned> address;   // EEPROM frames only
    std::optional<double> gain;        // SetGain only
    FaultKind kind = FaultKind::Error;
    int value = 0;        // status byte, reply length, iberr or signal number, by kind
    int remaining = -1;   // how many more hits; -1 = every time
    int spared = 0;       // matching commands still let through before the first hit
    std::string serial;   // Swap: the serial of the card put in the slot
    std::string model;    // Swap: its model; empty keeps the model

    bool matches(const Command& cmd, int selectedChannel) const;
};

}  // namespace zsim
