#pragma once
// A file of the run (the report, the JUnit XML) while it is written: created or
// truncated, held exclusively (no sharing on Windows, an exclusive lock elsewhere),
// written as raw bytes. Opening never waits: a pipe without a reader is a failure,
// not a hang.

#include <cstdint>
#include <string>
#include <string_view>

class CExclusiveFile {
public:
    explicit CExclusiveFile(const std::string& path);
    CExclusiveFile(const CExclusiveFile&) = delete;
    CExclusiveFile& operator=(const CExclusiveFile&) = delete;
    ~CExclusiveFile();

    bool IsOpen() const { return m_handle != kClosed; }
    // Writes every byte or fails; Close reports whether the data reached the file.
    bool Write(std::string_view bytes);
    bool Close();
    // Closes after a failed export; a file that this export created and that is
    // still empty is removed again.
    void Abandon();
    // The system's error code of the latest failure (errno / GetLastError).
    long LastError() const { return m_lastError; }

private:
    static constexpr std::intptr_t kClosed = -1;   // also INVALID_HANDLE_VALUE
    std::intptr_t m_handle = kClosed;
    long m_lastError = 0;
    std::string m_path;
    bool m_created = false;
    bool m_written = false;
};
