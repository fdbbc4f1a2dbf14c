#pragma once

// Values of the driver interface, as the program and a real driver know them.
namespace zsim::gpib {

inline constexpr int ERR = 0x8000;
inline constexpr int TIMO = 0x4000;
inline constexpr int END = 0x2000;
inline constexpr int SRQI = 0x1000;
inline constexpr int CMPL = 0x0100;

inline constexpr int EDVR = 0;
inline constexpr int ECIC = 1;
inline constexpr int ENOL = 2;
inline constexpr int EADR = 3;
inline constexpr int EARG = 4;
inline constexpr int EABO = 6;
inline constexpr int ENEB = 7;
inline constexpr int ECAP = 11;

inline constexpr unsigned short NOADDR = 0xFFFF;

inline constexpr int kBoard = 0;
inline constexpr unsigned short kMainframeAddress = 29;  // unless the scenario moves it

}  // namespace zsim::gpib
