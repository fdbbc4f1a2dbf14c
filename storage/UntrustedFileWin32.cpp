#include "UntrustedFile.h"

#include <algorithm>

#include <windows.h>

namespace {

UntrustedRead Refused(const char* kind)
{
    UntrustedRead read;
    read.outcome = UntrustedRead::Outcome::NotRegular;
    read.kind = kind;
    return read;
}

UntrustedRead Failed(DWORD error)
{
    UntrustedRead read;
    read.systemError = static_cast<long>(error);
    read.outcome = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? UntrustedRead::Outcome::Missing
                                                                                  : UntrustedRead::Outcome::Failed;
    return read;
}

class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : m_handle(handle) {}
    ~FileHandle()
    {
        if (m_handle != INVALID_HANDLE_VALUE)
            CloseHandle(m_handle);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    HANDLE get() const { return m_handle; }

private:
    HANDLE m_handle;
};

} // namespace

UntrustedRead ReadUntrustedFile(const std::string& path, std::size_t limit, UntrustedLength length)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return Refused("a folder");
    // Opening a pipe or a device never waits: a busy pipe fails at once.
    // A whole file is read only while nobody writes it; the head of one that other
    // programs keep open for writing (a database) is read beside them.
    const DWORD share = length == UntrustedLength::Start ? FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE
                                                         : FILE_SHARE_READ;
    const FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE)
        return Failed(GetLastError());
    const DWORD type = GetFileType(file.get());
    if (type == FILE_TYPE_PIPE)
        return Refused("a pipe");
    if (type != FILE_TYPE_DISK)
        return Refused("a device");

    UntrustedRead read;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size))
        return Failed(GetLastError());
    read.size = static_cast<std::uintmax_t>(size.QuadPart);
    if (read.size > limit && length == UntrustedLength::Whole) {
        read.outcome = UntrustedRead::Outcome::TooLong;
        return read;
    }
    char buffer[4096];
    while (read.bytes.size() <= limit) {
        DWORD got = 0;
        if (!ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr))
            return Failed(GetLastError());
        if (got == 0)
            break;
        read.bytes.append(buffer, got);
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
