#pragma once
// The channel list's columns, left to right. The verify pass writes the status and
// error texts by these numbers, the sort reads the column clicked, the view lays
// them out: one numbering for all three.

inline constexpr int kColumnStatus = 0;
inline constexpr int kColumnSerial = 1;
inline constexpr int kColumnChan = 2;
inline constexpr int kColumnRack = 3;
inline constexpr int kColumnSlot = 4;
inline constexpr int kColumnError = 5;
inline constexpr int kColumnCount = 6;
