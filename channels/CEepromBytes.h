#pragma once
// One card's EEPROM as the operator reaches it by hand: a byte read or written, or
// the whole image read, over the connection. The mainframe commands carry 16-bit
// addresses; the ranges, and the words that refuse a value outside them, are here
// for every front end. Each front end reads its numbers by its own rule and hands
// over the value with the text as typed.

#include <cstdint>
#include <string>
#include <string_view>

#include "EepromImage.h"

class CInstrument;

struct EepromRange {
    const char* name;
    std::uint32_t highest;
    int digits;   // hexadecimal digits of the bounds as the refusal shows them
};

inline constexpr EepromRange kEepromAddressRange{"address", 0xFFFF, 4};
inline constexpr EepromRange kEepromByteRange{"byte", 0xFF, 2};

// Empty when `value` lies in `range`; otherwise the refusal, naming the text typed
// and the value read from it.
std::string EepromRangeRefusal(const EepromRange& range, std::string_view typed, std::uint32_t value);

class CEepromBytes {
public:
    explicit CEepromBytes(CInstrument& instrument) : m_instrument(instrument) {}

    // Each returns false when the transaction failed; the connection keeps the
    // error for its ShowError, and whether to show it is the caller's choice.
    bool ReadByte(int channel, std::uint16_t address, std::uint8_t& data);
    bool WriteByte(int channel, std::uint16_t address, std::uint8_t data);
    bool ReadImage(int channel, EepromImage& image);

private:
    CInstrument& m_instrument;
};
