#pragma once
// Runs the built valdina-cli as a child process, the way a service script does,
// and keeps what it printed and its exit status.

#include <functional>
#include <string>
#include <vector>

struct CliRun {
    int exitCode = -1;     // 128 + the signal when one ended it
    int signal = 0;        // the signal that ended it, 0 when it exited
    std::string out;
    std::string err;
};

// The child inherits the environment, so the simulated mainframe's scenario and
// bus log are whatever the calling test set. `stdoutPath`, when given, takes the
// child's standard output instead of a file that is read back. `whileRunning` gets
// the child's process id once it runs. `under`, when given, is a program and its
// options that run the command line in turn (setpriv, to run it as another user).
// A child still running after a minute is killed.
CliRun RunCli(const std::vector<std::string>& arguments, const std::string& stdoutPath = {},
              const std::function<void(int pid)>& whileRunning = {}, const std::vector<std::string>& under = {});
