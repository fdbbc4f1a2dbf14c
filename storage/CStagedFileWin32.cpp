#include "CStagedFile.h"

#include <atomic>

#include <windows.h>

namespace {

std::atomic<unsigned> g_attempt{0};

bool Identity(HANDLE handle, std::uint64_t& volume, std::uint64_t& index)
{
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(handle, &info))
        return false;
    volume = info.dwVolumeSerialNumber;
    index = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    return true;
}

} // namespace

CStagedFile::CStagedFile(std::string finalPath) : m_finalPath(std::move(finalPath))
{
    for (int round = 0; round < 100 && !IsOpen(); ++round) {
        const std::string temp = StagedFileName(m_finalPath, GetCurrentProcessId(), g_attempt.fetch_add(1));
        // CREATE_NEW never opens what is there; share mode 0 keeps others out while written.
        const HANDLE handle =
            CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            m_lastError = static_cast<long>(GetLastError());
            if (m_lastError != ERROR_FILE_EXISTS && m_lastError != ERROR_ALREADY_EXISTS)
                return;
            continue;
        }
        m_handle = reinterpret_cast<std::intptr_t>(handle);
        m_tempPath = temp;
        Identity(handle, m_device, m_inode);
    }
}

CStagedFile::~CStagedFile()
{
    if (IsOpen())
        CloseHandle(reinterpret_cast<HANDLE>(m_handle));
    if (!m_placed && !m_tempPath.empty())
        DeleteFileA(m_tempPath.c_str());
    if (m_placed && !m_oldPath.empty())
        DeleteFileA(m_oldPath.c_str());
}

bool CStagedFile::Write(std::string_view bytes)
{
    if (!IsOpen())
        return false;
    const HANDLE handle = reinterpret_cast<HANDLE>(m_handle);
    bool ok = true;
    while (ok && !bytes.empty()) {
        DWORD written = 0;
        const DWORD part = bytes.size() < 0x40000000u ? static_cast<DWORD>(bytes.size()) : 0x40000000u;
        if (!WriteFile(handle, bytes.data(), part, &written, nullptr) || written == 0) {
            m_lastError = static_cast<long>(GetLastError());
            ok = false;
        } else {
            bytes.remove_prefix(written);
        }
    }
    if (ok && !FlushFileBuffers(handle)) {
        m_lastError = static_cast<long>(GetLastError());
        ok = false;
    }
    if (!CloseHandle(handle) && ok) {
        m_lastError = static_cast<long>(GetLastError());
        ok = false;
    }
    m_handle = kClosed;
    return ok;
}

bool CStagedFile::Place(bool replace)
{
    if (m_tempPath.empty() || IsOpen())
        return false;
    const DWORD attributes = GetFileAttributesA(m_finalPath.c_str());
    if (replace && attributes != INVALID_FILE_ATTRIBUTES) {
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            m_lastError = ERROR_ACCESS_DENIED;
            return false;
        }
        const std::string old = StagedFileName(m_finalPath, GetCurrentProcessId(), g_attempt.fetch_add(1));
        if (!MoveFileExA(m_finalPath.c_str(), old.c_str(), MOVEFILE_WRITE_THROUGH)) {
            m_lastError = static_cast<long>(GetLastError());
            return false;
        }
        m_oldPath = old;
    }
    // Without MOVEFILE_REPLACE_EXISTING the move fails on any file by that name,
    // also one that appeared since the old one was moved away.
    if (!MoveFileExA(m_tempPath.c_str(), m_finalPath.c_str(), MOVEFILE_WRITE_THROUGH)) {
        m_lastError = static_cast<long>(GetLastError());
        m_existed = m_lastError == ERROR_ALREADY_EXISTS || m_lastError == ERROR_FILE_EXISTS;
        if (!m_oldPath.empty() && MoveFileExA(m_oldPath.c_str(), m_finalPath.c_str(), MOVEFILE_WRITE_THROUGH))
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
    if (!m_oldPath.empty()) {
        if (MoveFileExA(m_oldPath.c_str(), m_finalPath.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            m_oldPath.clear();
        return;
    }
    // Opened for deletion only if it is still the file placed.
    const HANDLE handle = CreateFileA(m_finalPath.c_str(), DELETE | FILE_READ_ATTRIBUTES, 0, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return;
    std::uint64_t volume = 0;
    std::uint64_t index = 0;
    if (Identity(handle, volume, index) && volume == m_device && index == m_inode) {
        FILE_DISPOSITION_INFO disposition{TRUE};
        SetFileInformationByHandle(handle, FileDispositionInfo, &disposition, sizeof disposition);
    }
    CloseHandle(handle);
}
