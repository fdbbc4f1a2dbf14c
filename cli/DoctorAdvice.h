#pragma once
// What doctor tells the operator to do about a board the driver refused, in the
// terms of the driver at hand: linux-gpib's gpib.conf, gpib_config and device
// files, or NI-488.2's own tools and settings on Windows (NI MAX, the board's
// "System Controller" setting, the driver installation).

#include <string>

enum class DriverFamily { LinuxGpib, Ni4882 };

#ifdef _WIN32
inline constexpr DriverFamily kThisDriverFamily = DriverFamily::Ni4882;
#else
inline constexpr DriverFamily kThisDriverFamily = DriverFamily::LinuxGpib;
#endif

// The "to do" line for error code `iberr` (with the system error `ibcntl` of an
// EDVR) on `board`; empty for a code without advice of its own. linux-gpib's
// EARG is about its configuration file, which doctor reads itself: empty too.
std::string BoardErrorAdvice(DriverFamily family, int iberr, long ibcntl, int board);
