#pragma once
// dump: the image as lines of an address and 16 bytes in hexadecimal.

#include <string>

#include "EepromImage.h"

std::string FormatHexDump(const EepromImage& image);
