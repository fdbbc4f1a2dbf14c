#pragma once
// Catches what is written to standard error (file descriptor 2) while it lives:
// the driver library writes its own reasons there ("failed to parse
// configuration file"), which doctor shows under the step that provoked them.
// On Windows nothing is caught.

#include <cstdio>
#include <string>
#include <vector>

class CStderrCapture {
public:
    CStderrCapture();
    CStderrCapture(const CStderrCapture&) = delete;
    CStderrCapture& operator=(const CStderrCapture&) = delete;
    ~CStderrCapture();

    // Ends the capture and returns its lines, without their line ends.
    std::vector<std::string> Lines();

private:
    void Restore();

    std::FILE* m_file = nullptr;
    int m_saved = -1;
};
