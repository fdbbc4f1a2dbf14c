#pragma once
// The state of a channel record. The number is also the index of the row's lamp.

#include <cstdint>

enum ChannelStatus : std::int32_t {
    StatusNotPresent = 0,
    StatusUnknown = 1,
    StatusReading = 2,
    StatusGood = 3,
    StatusFail = 4,
};

constexpr int kChannelCount = 256;
constexpr int kRackCount = 16;
constexpr int kSlotsPerRack = 16;

constexpr int RackOf(int channel) { return channel / kSlotsPerRack; }
constexpr int SlotOf(int channel) { return channel % kSlotsPerRack; }
