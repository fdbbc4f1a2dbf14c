#pragma once
// The files linux-gpib needs before it can reach a board: its configuration file
// (IB_CONFIG, else the default built into the library) and the board's device
// file /dev/gpibN (see BoardDevice.h). The simulated driver needs neither, so for
// it they are checked only when their place is given explicitly.

#include <string>

#include "DoctorStep.h"
#include "GpibConf.h"

// Which configuration file the library reads, worked out once for every step.
struct ConfigFileChoice {
    enum class Source { Environment, Library, Default };
    std::string path;    // empty when IB_CONFIG is set but empty: the library then opens ""
    Source source = Source::Default;
    std::string builtIn; // the library's own default, whatever IB_CONFIG says
};

// `libraryFile`: the driver library, whose built-in default path is looked up.
ConfigFileChoice ChooseConfigFile(const std::string& libraryFile);
// The file as a name for the operator: its path, or IB_CONFIG's empty value.
std::string ConfigFileName(const ConfigFileChoice& choice);
// Reads and parses the chosen file into `conf`. `simulated`: the simulated
// driver, which needs no file unless IB_CONFIG names one.
DoctorStep CheckConfigFile(const ConfigFileChoice& choice, bool simulated, GpibConf& conf);
DoctorStep CheckBoardDevice(int board, bool simulated);
// What to do when the driver cannot open board N's device for this system error.
std::string BoardDeviceAdvice(long errnum, int board);
