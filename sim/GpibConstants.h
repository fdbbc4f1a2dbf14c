#pragma once

#include "GpibCodes.h"

// Values of the driver interface, as the program and a real driver know them:
// the status bits and error codes from the one shared table.
namespace zsim::gpib {

using ::gpib::CMPL;
using ::gpib::END;
using ::gpib::ERR;
using ::gpib::SRQI;
using ::gpib::TIMO;

using ::gpib::EABO;
using ::gpib::EADR;
using ::gpib::EARG;
using ::gpib::ECAP;
using ::gpib::ECIC;
using ::gpib::EDVR;
using ::gpib::ENEB;
using ::gpib::ENOL;

inline constexpr unsigned short NOADDR = 0xFFFF;

inline constexpr int kBoard = 0;
inline constexpr unsigned short kMainframeAddress = 29;  // unless the scenario moves it

}  // namespace zsim::gpib
