#pragma once

#include <cstdint>

#include "Card.h"
#include "JsonField.h"

namespace zsim {

// Reads one card entry of a scenario (or the "fill" template).
class CardReader {
public:
    // The channel the entry names, by "channel" or by "rack" and "slot".
    static int channelOf(const JsonField& entry);
    static Card read(const JsonField& entry, int channel);
    static Card generated(int channel, const std::string& model, std::uint8_t mode, std::uint32_t seed);
    static std::string defaultSerial(int channel);
};

}  // namespace zsim
