// Fuzz target: the whole bus path against a driver whose every answer comes from
// the fuzzer's bytes.

#include <cstddef>
#include <cstdint>

#include "BusPath.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    valdina::fuzz::RunBusPathInput(data, size);
    return 0;
}
