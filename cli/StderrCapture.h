#pragma once
// Catches what the driver library writes to standard error (file descriptor 2)
// while it lives: its own reasons ("failed to parse configuration file"), which
// doctor shows under the step that provoked them. What the program itself writes
// to std::cerr meanwhile (the --trace lines) still goes to the terminal. Should
// the library end the process during the capture, the caught lines are handed to
// the capture's exit report first. On Windows nothing is caught.

#include <cstdio>
#include <functional>
#include <memory>
#include <streambuf>
#include <string>
#include <vector>

class CStderrCapture {
public:
    using ExitReport = std::function<void(const std::vector<std::string>& lines)>;

    explicit CStderrCapture(ExitReport atExit = {});
    CStderrCapture(const CStderrCapture&) = delete;
    CStderrCapture& operator=(const CStderrCapture&) = delete;
    ~CStderrCapture();

    // Ends the capture and returns its lines, without their line ends.
    std::vector<std::string> Lines();

private:
    static void OnExit();
    void Restore();

    std::FILE* m_file = nullptr;
    int m_saved = -1;                          // the terminal's descriptor during the capture
    std::unique_ptr<std::streambuf> m_terminal;  // std::cerr's way to it meanwhile
    std::streambuf* m_cerrBuffer = nullptr;    // std::cerr's own, put back at the end
    ExitReport m_atExit;
};
