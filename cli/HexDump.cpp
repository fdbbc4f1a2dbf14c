#include "HexDump.h"

#include "TextFormat.h"

namespace {
constexpr int kBytesPerLine = 16;
}

std::string FormatHexDump(const EepromImage& image)
{
    std::string text;
    for (int line = 0; line < kEepromSize; line += kBytesPerLine) {
        text += FormatText("%04X ", line);
        for (int i = line; i < line + kBytesPerLine; ++i)
            text += FormatText(" %02X", image[static_cast<std::size_t>(i)]);
        text += '\n';
    }
    return text;
}
