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
// bus log are whatever the calling test set. `stdoutPath`, when given, takes the
// child's standard output instead of a file that is read back.
CliRun RunCli(const std::vector<std::string>& arguments, const std::string& stdoutPath = {});
