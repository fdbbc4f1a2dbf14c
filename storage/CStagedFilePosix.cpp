#include "CStagedFile.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::atomic<unsigned> g_attempt{0};

bool Same(const struct stat& info, std::uint64_t device, std::uint64_t inode)
{
    return static_cast<std::uint64_t>(info.st_dev) == device && static_cast<std::uint64_t>(info.st_ino) == inode;
}

// Renames without replacing: renameat2's RENAME_NOREPLACE where the file system
// has it, else a hard link (which never replaces) and the temporary name removed.
int RenameNoReplace(const char* from, const char* to)
{
#ifdef RENAME_NOREPLACE
    if (::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return -1;
#endif
    if (::link(from, to) != 0)
        return -1;
    ::unlink(from);
    return 0;
}

} // namespace

CStagedFile::CStagedFile(std::string finalPath) : m_finalPath(std::move(finalPath))
{
    // A name left by a crashed run is skipped, never reused.
    for (int round = 0; round < 100 && !IsOpen(); ++round) {
        const std::string temp =
            StagedFileName(m_finalPath, static_cast<unsigned long>(::getpid()), g_attempt.fetch_add(1));
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0) {
            m_lastError = errno;
            if (errno != EEXIST)
                return;
            continue;
        }
        m_handle = fd;
        m_tempPath = temp;
        struct stat info {};
        if (::fstat(fd, &info) == 0) {
            m_device = static_cast<std::uint64_t>(info.st_dev);
            m_inode = static_cast<std::uint64_t>(info.st_ino);
        }
    }
}

CStagedFile::~CStagedFile()
{
    if (IsOpen())
        ::close(static_cast<int>(m_handle));
    if (!m_placed && !m_tempPath.empty())
        ::unlink(m_tempPath.c_str());
    // The replaced file goes once its successor stands; one that could not be put
    // back stays under its hidden name rather than be lost.
    if (m_placed && !m_oldPath.empty())
        ::unlink(m_oldPath.c_str());
}

bool CStagedFile::Write(std::string_view bytes)
{
    if (!IsOpen())
        return false;
    const int fd = static_cast<int>(m_handle);
    bool ok = true;
    while (ok && !bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            m_lastError = written == 0 ? ENOSPC : errno;
            ok = false;
        } else {
            bytes.remove_prefix(static_cast<std::size_t>(written));
        }
    }
    // On the disk before the name is given: a crash never leaves an empty file by it.
    if (ok && ::fsync(fd) != 0) {
        m_lastError = errno;
        ok = false;
    }
    if (::close(fd) != 0 && ok) {
        m_lastError = errno;
        ok = false;
    }
    m_handle = kClosed;
    return ok;
}

bool CStagedFile::Place(bool replace)
{
    if (m_tempPath.empty() || IsOpen())
        return false;
    struct stat named {};
    if (replace && ::lstat(m_finalPath.c_str(), &named) == 0) {
        if (S_ISDIR(named.st_mode)) {
            m_lastError = EISDIR;
            return false;
        }
        const std::string old =
            StagedFileName(m_finalPath, static_cast<unsigned long>(::getpid()), g_attempt.fetch_add(1));
        if (RenameNoReplace(m_finalPath.c_str(), old.c_str()) != 0) {
            m_lastError = errno;
            return false;
        }
        m_oldPath = old;
    }
    // Never over a file that appeared since: the old one is out of the way now.
    if (RenameNoReplace(m_tempPath.c_str(), m_finalPath.c_str()) != 0) {
        m_lastError = errno;
        m_existed = errno == EEXIST;
        if (!m_oldPath.empty() && RenameNoReplace(m_oldPath.c_str(), m_finalPath.c_str()) == 0)
            m_oldPath.clear();
        return false;
    }
    m_placed = true;
    m_tempPath.clear();
    return true;
}

void CStagedFile::Unplace()
{
    if (!m_placed)
        return;
    m_placed = false;
    struct stat named {};
    if (!m_oldPath.empty()) {
        if (::rename(m_oldPath.c_str(), m_finalPath.c_str()) == 0)
            m_oldPath.clear();
    } else if (::lstat(m_finalPath.c_str(), &named) == 0 && Same(named, m_device, m_inode)) {
        ::unlink(m_finalPath.c_str());
    }
}
