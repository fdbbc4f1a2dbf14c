#include "ImageCompare.h"

#include <algorithm>

#include "EepromLayout.h"
#include "TextFormat.h"

const char* BlockNameAt(int address)
{
    for (const EepromBlock& block : kEepromBlocks) {
        if (address >= block.offset && address < block.offset + block.length)
            return block.name;
    }
    return kOutsideAnyBlock;
}

std::vector<ImageDifference> CompareImages(const EepromImage& first, const EepromImage& second)
{
    std::vector<ImageDifference> differences;
    for (int address = 0; address < kEepromSize; ++address) {
        const auto a = first[static_cast<std::size_t>(address)];
        const auto b = second[static_cast<std::size_t>(address)];
        if (a != b)
            differences.push_back({address, a, b});
    }
    return differences;
}

std::string FormatImageDifferences(const std::vector<ImageDifference>& differences, const std::string& firstName,
                                   const std::string& secondName)
{
    if (differences.empty())
        return "The images are the same.\n";
    std::string text = FormatText("%d byte%s differ%s:\n", static_cast<int>(differences.size()), differences.size() == 1 ? "" : "s",
                                  differences.size() == 1 ? "s" : "");
    std::vector<const char*> groups;
    for (const EepromBlock& block : kEepromBlocks)
        groups.push_back(block.name);
    groups.push_back(kOutsideAnyBlock);
    for (const char* group : groups) {
        const auto count = std::ranges::count_if(differences, [group](const ImageDifference& d) {
            return std::string_view(BlockNameAt(d.address)) == group;
        });
        if (count == 0)
            continue;
        text += FormatText("%s: %d byte%s\n", group, static_cast<int>(count), count == 1 ? "" : "s");
        text += FormatText("  address  %-6s %s\n", firstName.c_str(), secondName.c_str());
        for (const ImageDifference& d : differences) {
            if (std::string_view(BlockNameAt(d.address)) == group)
                text += FormatText("  0x%04X   0x%02X   0x%02X\n", static_cast<unsigned>(d.address),
                                   static_cast<unsigned>(d.first), static_cast<unsigned>(d.second));
        }
    }
    return text;
}
