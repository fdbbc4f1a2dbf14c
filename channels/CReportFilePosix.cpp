#include "CReportFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Devices and pipes have no length to cut.
bool IsRegularFile(int fd)
{
    struct stat info {};
    return ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
}

} // namespace

CReportFile::CReportFile(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
        m_lastError = errno;
        return;
    }
    // Truncated only once the lock is ours, so a file that another program holds
    // keeps its content.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || (IsRegularFile(fd) && ::ftruncate(fd, 0) != 0)) {
        m_lastError = errno;
        ::close(fd);
        return;
    }
    m_handle = fd;
}

CReportFile::~CReportFile()
{
    Close();
}

bool CReportFile::Write(std::string_view bytes)
{
    const int fd = static_cast<int>(m_handle);
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            m_lastError = written == 0 ? ENOSPC : errno;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

bool CReportFile::Close()
{
    if (!IsOpen())
        return true;
    // Closing the descriptor also drops the lock.
    const int rc = ::close(static_cast<int>(m_handle));
    m_handle = kClosed;
    if (rc != 0) {
        m_lastError = errno;
        return false;
    }
    return true;
}
