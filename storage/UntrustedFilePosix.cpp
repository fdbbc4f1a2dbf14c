#include "UntrustedFile.h"

#include <algorithm>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* KindOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return "a folder";
    if (S_ISFIFO(mode))
        return "a FIFO (named pipe)";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "a device";
    if (S_ISSOCK(mode))
        return "a socket";
    return "no regular file";
}

UntrustedRead Refused(const char* kind)
{
    UntrustedRead read;
    read.outcome = UntrustedRead::Outcome::NotRegular;
    read.kind = kind;
    return read;
}

UntrustedRead Failed(int error)
{
    UntrustedRead read;
    read.systemError = error;
    // ENOTDIR: a part of the path is a file, so nothing by that name exists.
    read.outcome = error == ENOENT || error == ENOTDIR ? UntrustedRead::Outcome::Missing : UntrustedRead::Outcome::Failed;
    return read;
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

} // namespace

UntrustedRead ReadUntrustedFile(const std::string& path, std::size_t limit, UntrustedLength length)
{
    // Judged by name first, so a device is never even opened (opening some has
    // effects of its own); judged again through the descriptor, which is what is read.
    struct stat named {};
    if (::stat(path.c_str(), &named) != 0)
        return Failed(errno);
    if (!S_ISREG(named.st_mode))
        return Refused(KindOf(named.st_mode));

    // O_NONBLOCK: a FIFO put in the file's place since never makes the open wait.
    const FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0)
        return errno == ENXIO ? Refused("no regular file") : Failed(errno);
    struct stat opened {};
    if (::fstat(fd.get(), &opened) != 0)
        return Failed(errno);
    if (!S_ISREG(opened.st_mode))
        return Refused(KindOf(opened.st_mode));

    UntrustedRead read;
    read.size = static_cast<std::uintmax_t>(opened.st_size);
    if (read.size > limit && length == UntrustedLength::Whole) {
        read.outcome = UntrustedRead::Outcome::TooLong;
        return read;
    }
    // A file that grows while read is cut at one byte past the limit.
    char buffer[4096];
    while (read.bytes.size() <= limit) {
        const ssize_t got = ::read(fd.get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return Failed(errno);
        if (got == 0)
            break;
        read.bytes.append(buffer, static_cast<std::size_t>(got));
    }
    if (length == UntrustedLength::Start) {
        read.bytes.resize(std::min(read.bytes.size(), limit));
        read.outcome = UntrustedRead::Outcome::Read;
        return read;
    }
    read.size = read.bytes.size();
    read.outcome = read.bytes.size() > limit ? UntrustedRead::Outcome::TooLong : UntrustedRead::Outcome::Read;
    return read;
}
