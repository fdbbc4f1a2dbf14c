#pragma once
// The files linux-gpib needs before it can reach a board: its configuration file
// (IB_CONFIG, else /etc/gpib.conf) and the board's device file /dev/gpibN.
// VALDINA_GPIB_DEVICE_DIR names another folder for the device files. The
// simulated driver needs neither, so for it they are checked only when their
// place is given explicitly.

#include <string>
#include <vector>

#include "DoctorStep.h"

// `libraryFile`: the driver library, whose built-in default path is looked up.
DoctorStep CheckConfigFile(bool simulated, const std::string& libraryFile);
// The configuration file the library at `libraryFile` reads: IB_CONFIG, else the
// default built into it; empty when neither is known.
std::string LibraryConfigFile(const std::string& libraryFile);
// The minor numbers of the board sections in a configuration file.
std::vector<int> ConfiguredMinors(const std::string& configFile);
DoctorStep CheckBoardDevice(int board, bool simulated);
// What to do when the driver cannot open board N's device for this system error.
std::string BoardDeviceAdvice(long errnum, int board);
