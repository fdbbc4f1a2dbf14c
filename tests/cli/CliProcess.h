#pragma once
// Runs the built valdina-cli as a child process, the way a service script does,
// and keeps what it printed and its exit status.

#include <string>
#include <vector>

struct CliRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// The child inherits the environment, so the simulated mainframe's scenario and
// bus log are whatever the calling test set.
CliRun RunCli(const std::vector<std::string>& arguments);
