#pragma once

#include "FaultRule.h"
#include "JsonField.h"

namespace zsim {

// Reads one entry of a scenario's "faults" list.
class FaultReader {
public:
    static FaultRule read(const JsonField& entry);
};

}  // namespace zsim
