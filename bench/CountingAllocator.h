#pragma once
// Live heap bytes of the whole process (the simulated driver's included), with a
// peak that a benchmark resets before the part it measures.

#include <cstddef>

namespace heap {

std::size_t LiveBytes();
std::size_t PeakBytes();
void ResetPeak();

} // namespace heap
