#include "FaultRule.h"

#include <cmath>

namespace zsim {

bool FaultRule::matches(const Command& cmd, int selectedChannel) const {
    if (remaining == 0 || cmd.kind != command) return false;
    if (channel) {
        const bool ownTarget = cmd.kind == CommandKind::Select || cmd.kind == CommandKind::RdEe1 ||
                               cmd.kind == CommandKind::RdEe4 || cmd.kind == CommandKind::WrEe1;
        if (*channel != (ownTarget ? cmd.channel : selectedChannel)) return false;
    }
    if (address && *address != cmd.address) return false;
    // The gain travels with two decimals, so compare at that resolution.
    if (gain && std::fabs(*gain - cmd.gain) > 0.005) return false;
    return true;
}

}  // namespace zsim
