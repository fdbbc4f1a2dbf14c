#pragma once
// The files linux-gpib needs before it can reach a board: its configuration file
// (IB_CONFIG, else /etc/gpib.conf) and the board's device file /dev/gpibN.
// VALDINA_GPIB_DEVICE_DIR names another folder for the device files. The
// simulated driver needs neither, so for it they are checked only when their
// place is given explicitly.

#include "DoctorStep.h"

DoctorStep CheckConfigFile(bool simulated);
DoctorStep CheckBoardDevice(int board, bool simulated);
// What to do when the driver cannot open board N's device for this system error.
std::string BoardDeviceAdvice(long errnum, int board);
