#include "StderrCapture.h"

#ifndef _WIN32
#include <unistd.h>
#endif

CStderrCapture::CStderrCapture()
{
#ifndef _WIN32
    std::fflush(stderr);
    m_file = std::tmpfile();
    if (m_file == nullptr)
        return;
    m_saved = dup(STDERR_FILENO);
    if (m_saved < 0 || dup2(fileno(m_file), STDERR_FILENO) < 0) {
        std::fclose(m_file);
        m_file = nullptr;
    }
#endif
}

CStderrCapture::~CStderrCapture()
{
    Restore();
    if (m_file != nullptr)
        std::fclose(m_file);
}

void CStderrCapture::Restore()
{
#ifndef _WIN32
    if (m_saved >= 0) {
        std::fflush(stderr);
        dup2(m_saved, STDERR_FILENO);
        close(m_saved);
        m_saved = -1;
    }
#endif
}

std::vector<std::string> CStderrCapture::Lines()
{
    Restore();
    std::vector<std::string> lines;
    if (m_file == nullptr)
        return lines;
    std::rewind(m_file);
    std::string line;
    for (int c; (c = std::fgetc(m_file)) != EOF;) {
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line += static_cast<char>(c);
        }
    }
    if (!line.empty())
        lines.push_back(line);
    std::fclose(m_file);
    m_file = nullptr;
    return lines;
}
