#pragma once
// A new file written under a temporary name in its final folder and given its
// final name only when complete: nobody sees it half-written, and a failure
// leaves whatever held the final name untouched. A temporary file that is never
// placed is removed with this object.

#include <cstdint>
#include <string>
#include <string_view>

class CStagedFile {
public:
    // Creates the temporary file (".NAME.tmp-PID-N") beside `finalPath`.
    explicit CStagedFile(std::string finalPath);
    CStagedFile(const CStagedFile&) = delete;
    CStagedFile& operator=(const CStagedFile&) = delete;
    ~CStagedFile();

    bool IsOpen() const { return m_handle != kClosed; }
    // Writes every byte, flushes them to the disk and closes the file.
    bool Write(std::string_view bytes);
    // Renames the written file to its final name. Without `replace` anything that
    // holds the name (a file, a link, a folder) stays, and Place fails with
    // Existed() true; the check and the rename are one step of the file system.
    // With `replace` a file by that name is first moved to a hidden name of its
    // own, kept until this object ends so Unplace can put it back; a folder there
    // is never replaced.
    bool Place(bool replace);
    // Undoes Place, when the second of two files cannot be placed: the file that
    // was replaced comes back, or the placed file is removed while its name still
    // holds it.
    void Unplace();

    bool Existed() const { return m_existed; }
    // The system's error code of the latest failure (errno / GetLastError).
    long LastError() const { return m_lastError; }
    const std::string& FinalPath() const { return m_finalPath; }

private:
    static constexpr std::intptr_t kClosed = -1;   // also INVALID_HANDLE_VALUE
    std::intptr_t m_handle = kClosed;
    std::string m_finalPath;
    std::string m_tempPath;   // empty once placed or when none was created
    std::string m_oldPath;    // the replaced file, while Unplace may still need it
    long m_lastError = 0;
    bool m_existed = false;
    bool m_placed = false;
    // The file's identity, so Unplace never removes a file someone put there since.
    std::uint64_t m_device = 0;
    std::uint64_t m_inode = 0;
};

// The temporary name of `finalPath`'s staged file: same folder, a leading dot.
std::string StagedFileName(const std::string& finalPath, unsigned long process, unsigned attempt);
