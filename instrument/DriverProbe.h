#pragma once
// A look at the driver library as the binding will use it, for telling the operator
// what is there: which file the loader took and how it found it, or why it found
// none; which status exports and routines the file lacks.

#include <string>
#include <vector>

#include "CGpibBinding.h"

struct DriverProbe {
    bool loaded = false;
    std::string file;          // the file the loader took
    std::string foundBy;       // how the loader came to it
    std::string loaderError;   // why nothing was loaded
    std::vector<std::string> missingStatus;
    std::vector<std::string> missingRoutines;
    bool simulated = false;    // the simulated mainframe, which needs no board setup

    bool Usable() const { return loaded && missingStatus.empty() && missingRoutines.empty(); }
};

// Loads the library by the binding's names, looks at it and lets it go again;
// the binding's own handle, if it holds one, is not disturbed.
DriverProbe ProbeDriver(const gpib::DriverNames& names);

// The driver's own cause of a failed call on `board`, as a line for the operator
// beside the system's fixed message: "driver: ..." after an EDVR failure whose
// cause is known, empty otherwise. Every front end shows this one line.
std::string DriverCauseText(const gpib::DriverStatus& status, const gpib::CGpibBinding& binding, int board);

// Joins names as "a, b and c".
std::string JoinNames(const std::vector<std::string>& names);
