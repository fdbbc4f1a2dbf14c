#include "CEepromBytes.h"

#include "CInstrument.h"
#include "TextFormat.h"

std::string EepromRangeRefusal(const EepromRange& range, std::string_view typed, std::uint32_t value)
{
    if (value <= range.highest)
        return {};
    // The value read is shown too: "-1" or a saturated number is not what it seems.
    return FormatText("The %s %.*s (0x%X) is outside the EEPROM %s range 0x%0*X..0x%0*X.", range.name,
                      static_cast<int>(typed.size()), typed.data(), static_cast<unsigned>(value), range.name,
                      range.digits, 0u, range.digits, static_cast<unsigned>(range.highest));
}

bool CEepromBytes::ReadByte(int channel, std::uint16_t address, std::uint8_t& data)
{
    return m_instrument.RdEe1(channel, address, &data) != 0;
}

bool CEepromBytes::WriteByte(int channel, std::uint16_t address, std::uint8_t data)
{
    return m_instrument.WrEe1(channel, address, data) != 0;
}

bool CEepromBytes::ReadImage(int channel, EepromImage& image)
{
    return m_instrument.ReadEepromImage(channel, image) != 0;
}
