#include "StderrCapture.h"

#include <cerrno>
#include <cstdlib>
#include <iostream>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace {

CStderrCapture* g_active = nullptr;

#ifndef _WIN32
// Writes straight to a file descriptor, unbuffered, as std::cerr writes.
class CDescriptorBuffer final : public std::streambuf {
public:
    explicit CDescriptorBuffer(int fd) : m_fd(fd) {}

protected:
    std::streamsize xsputn(const char* data, std::streamsize size) override
    {
        std::streamsize done = 0;
        while (done < size) {
            const ssize_t written = write(m_fd, data + done, static_cast<std::size_t>(size - done));
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0)
                break;
            done += written;
        }
        return done;
    }

    int_type overflow(int_type c) override
    {
        if (traits_type::eq_int_type(c, traits_type::eof()))
            return traits_type::not_eof(c);
        const char byte = traits_type::to_char_type(c);
        return xsputn(&byte, 1) == 1 ? c : traits_type::eof();
    }

private:
    int m_fd;
};
#endif

} // namespace

CStderrCapture::CStderrCapture(ExitReport atExit) : m_atExit(std::move(atExit))
{
#ifndef _WIN32
    std::fflush(stderr);
    std::cerr.flush();
    m_file = std::tmpfile();
    if (m_file == nullptr)
        return;
    m_saved = dup(STDERR_FILENO);
    if (m_saved < 0 || dup2(fileno(m_file), STDERR_FILENO) < 0) {
        if (m_saved >= 0)
            close(m_saved);
        m_saved = -1;
        std::fclose(m_file);
        m_file = nullptr;
        return;
    }
    m_terminal = std::make_unique<CDescriptorBuffer>(m_saved);
    m_cerrBuffer = std::cerr.rdbuf(m_terminal.get());
    static const bool registered = std::atexit(&CStderrCapture::OnExit) == 0;
    (void)registered;
    g_active = this;
#endif
}

CStderrCapture::~CStderrCapture()
{
    Restore();
    if (m_file != nullptr)
        std::fclose(m_file);
}

void CStderrCapture::OnExit()
{
    // The library ended the process in the middle of a capture.
    CStderrCapture* capture = g_active;
    if (capture == nullptr)
        return;
    const std::vector<std::string> lines = capture->Lines();
    if (capture->m_atExit)
        capture->m_atExit(lines);
}

void CStderrCapture::Restore()
{
#ifndef _WIN32
    if (g_active == this)
        g_active = nullptr;
    if (m_saved >= 0) {
        std::fflush(stderr);
        dup2(m_saved, STDERR_FILENO);
        std::cerr.rdbuf(m_cerrBuffer);
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
