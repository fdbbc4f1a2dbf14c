#pragma once

#include <array>
#include <optional>
#include <vector>

#include "Card.h"
#include "FaultRule.h"
#include "GpibConstants.h"

namespace zsim {

inline constexpr int kChannels = 256;

// Everything that describes one simulated mainframe and how it misbehaves.
struct Scenario {
    std::array<std::optional<Card>, kChannels> cards;
    std::vector<FaultRule> faults;
    bool offBus = false;
    int latencyUs = 0;
    int ecicFindLstn = 0;     // first N FindLstn calls fail with ECIC
    int ecicDevClear = 0;     // first N DevClear calls fail with ECIC
    int stopAnsweringAfter = -1;  // commands accepted before it goes silent; -1 never
    int boardErrno = 0;           // nonzero: board 0's device cannot be opened (ENOENT, EACCES)
    bool listenerSensing = true;  // false: an adapter whose FindLstn fails with ECAP
    unsigned short address = gpib::kMainframeAddress;
};

}  // namespace zsim
