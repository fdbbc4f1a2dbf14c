#include "CExclusiveFile.h"

#include <windows.h>

CExclusiveFile::CExclusiveFile(const std::string& path) : m_path(path)
{
    // Share mode 0: no other program can open the file until it is closed.
    const HANDLE handle = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        m_lastError = static_cast<long>(GetLastError());
        return;
    }
    m_created = GetLastError() != ERROR_ALREADY_EXISTS;
    m_handle = reinterpret_cast<std::intptr_t>(handle);
}

CExclusiveFile::~CExclusiveFile()
{
    Close();
}

bool CExclusiveFile::Write(std::string_view bytes)
{
    const HANDLE handle = reinterpret_cast<HANDLE>(m_handle);
    while (!bytes.empty()) {
        DWORD written = 0;
        if (!WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) || written == 0) {
            m_lastError = static_cast<long>(GetLastError());
            return false;
        }
        m_written = true;
        bytes.remove_prefix(written);
    }
    return true;
}

bool CExclusiveFile::Close()
{
    if (!IsOpen())
        return true;
    const BOOL ok = CloseHandle(reinterpret_cast<HANDLE>(m_handle));
    m_handle = kClosed;
    if (!ok) {
        m_lastError = static_cast<long>(GetLastError());
        return false;
    }
    return true;
}

void CExclusiveFile::Abandon()
{
    if (!IsOpen())
        return;
    CloseHandle(reinterpret_cast<HANDLE>(m_handle));
    m_handle = kClosed;
    if (m_created && !m_written)
        DeleteFileA(m_path.c_str());
}
