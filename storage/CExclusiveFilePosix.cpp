#include "CExclusiveFile.h"

#include <cerrno>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <pthread.h>
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

// File systems without locks (some network and FUSE mounts) still take the report.
bool LockUnsupported(int error)
{
    return error == ENOLCK || error == EOPNOTSUPP || error == ENOTSUP || error == ENOSYS;
}

// Removes `path` only while it still names the file behind `fd`.
void RemoveIfSame(const std::string& path, int fd)
{
    struct stat opened {};
    struct stat named {};
    if (::fstat(fd, &opened) == 0 && ::lstat(path.c_str(), &named) == 0 && opened.st_dev == named.st_dev
        && opened.st_ino == named.st_ino)
        ::unlink(path.c_str());
}

// A pipe whose reader has gone makes a write fail with EPIPE and raise SIGPIPE,
// which would end the program and lose the table. While this is alive the
// signal is held for this thread; one that the write raised is taken back.
class HeldBrokenPipe {
public:
    HeldBrokenPipe()
    {
        sigemptyset(&m_pipe);
        sigaddset(&m_pipe, SIGPIPE);
        sigset_t pending;
        m_wasPending = sigpending(&pending) == 0 && sigismember(&pending, SIGPIPE) == 1;
        pthread_sigmask(SIG_BLOCK, &m_pipe, &m_saved);
    }
    ~HeldBrokenPipe()
    {
        sigset_t pending;
        if (!m_wasPending && sigpending(&pending) == 0 && sigismember(&pending, SIGPIPE) == 1) {
            const timespec now{};
            sigtimedwait(&m_pipe, nullptr, &now);
        }
        pthread_sigmask(SIG_SETMASK, &m_saved, nullptr);
    }
    HeldBrokenPipe(const HeldBrokenPipe&) = delete;
    HeldBrokenPipe& operator=(const HeldBrokenPipe&) = delete;

private:
    sigset_t m_pipe;
    sigset_t m_saved;
    bool m_wasPending = false;
};

// Opens an existing file as it is, or creates a new one; never truncates and
// never waits (O_NONBLOCK: a FIFO without a reader fails with ENXIO at once).
int OpenOrCreate(const std::string& path, bool& created)
{
    constexpr int kFlags = O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    int fd = -1;
    // Two rounds: the file may appear or vanish between the two opens.
    for (int round = 0; round < 2 && fd < 0; ++round) {
        fd = ::open(path.c_str(), kFlags);
        if (fd >= 0 || errno != ENOENT)
            break;
        fd = ::open(path.c_str(), kFlags | O_CREAT | O_EXCL, 0666);
        created = fd >= 0;
        if (fd < 0 && errno != EEXIST)
            break;
    }
    return fd;
}

} // namespace

CExclusiveFile::CExclusiveFile(const std::string& path) : m_path(path)
{
    const int fd = OpenOrCreate(path, m_created);
    if (fd < 0) {
        m_lastError = errno;
        return;
    }
    m_handle = fd;
    // Writes may wait for a slow reader, as writes to any file do.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        m_lastError = errno;
        Abandon();
        return;
    }
    // Truncated only once the lock is ours, so a file that another program holds
    // keeps its content.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && !LockUnsupported(errno)) {
        m_lastError = errno;
        Abandon();
        return;
    }
    if (IsRegularFile(fd) && ::ftruncate(fd, 0) != 0) {
        m_lastError = errno;
        Abandon();
    }
}

CExclusiveFile::~CExclusiveFile()
{
    Close();
}

bool CExclusiveFile::Write(std::string_view bytes)
{
    const int fd = static_cast<int>(m_handle);
    const HeldBrokenPipe held;
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            m_lastError = written == 0 ? ENOSPC : errno;
            return false;
        }
        m_written = true;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

bool CExclusiveFile::Close()
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

void CExclusiveFile::Abandon()
{
    if (!IsOpen())
        return;
    if (m_created && !m_written)
        RemoveIfSame(m_path, static_cast<int>(m_handle));
    ::close(static_cast<int>(m_handle));
    m_handle = kClosed;
}
