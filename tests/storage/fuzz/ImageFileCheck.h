#pragma once
// One input of the image loader's fuzz target: the bytes are an image record,
// saved beside a fixed image and loaded as the programs load it. A broken rule
// aborts, so libFuzzer and the replay in every build both see it.

#include <cstddef>
#include <cstdint>

void CheckImageFileInput(const std::uint8_t* data, std::size_t size);
