#pragma once

#include "GpibConstants.h"

namespace zsim {

// Outcome of one driver call, published into the exported status variables.
struct BusStatus {
    int ibsta = gpib::CMPL;
    int iberr = 0;
    long count = 0;

    static BusStatus ok(long count = 0) { return {gpib::CMPL, 0, count}; }
    static BusStatus error(int code, int extraBits = 0) {
        return {gpib::ERR | gpib::CMPL | extraBits, code, 0};
    }
    // The driver could not reach its board: EDVR with the system error in the count.
    static BusStatus systemError(int errnum) { return {gpib::ERR, gpib::EDVR, errnum}; }
    bool failed() const { return (ibsta & gpib::ERR) != 0; }
};

}  // namespace zsim
