#include "BlockListing.h"

#include "BlockSummary.h"
#include "PrintableField.h"
#include "TextFormat.h"

std::string FormatBlockListing(const EepromImage& image, const CChannelInfo& card)
{
    const std::string model = PrintableField(card.Model());
    std::string text = FormatText("model \"%s\"%s\n", model.c_str(),
                                  card.IsExemptModel() ? " (exempt: only Header is checked)" : "");
    text += FormatText("%-8s%8s%8s%6s  %s\n", "Block", "Offset", "Length", "Sum", "Verdict");
    for (const BlockSummary& entry : SummarizeBlocks(image, card.IsExemptModel())) {
        text += FormatText("%-8s%8d%8d  0x%02X  %s%s\n", entry.block.name, entry.block.offset, entry.block.length,
                           entry.sum, entry.valid ? "valid" : "invalid",
                           entry.checked ? "" : " (not checked: exempt model)");
    }
    return text;
}
