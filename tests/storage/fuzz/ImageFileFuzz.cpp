// Fuzz target for the image loader: any bytes as the record beside an image.

#include "ImageFileCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CheckImageFileInput(data, size);
    return 0;
}
