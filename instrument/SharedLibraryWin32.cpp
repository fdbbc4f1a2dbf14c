#include "SharedLibrary.h"

#include <windows.h>

#include <cctype>
#include <filesystem>
#include <string>

namespace os {

namespace {

// The driver is searched for in the program's folder and the system folder
// only: a DLL of the driver's name planted in the current folder (a report
// share, a downloads folder) or on PATH is never loaded and run.
constexpr DWORD kSafeSearch = LOAD_LIBRARY_SEARCH_APPLICATION_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32;

std::wstring Widened(const char* text)
{
    const int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    std::wstring wide(length > 0 ? length : 1, L'\0');
    if (length > 0)
        MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), length);
    wide.resize(wide.size() - 1);
    return wide;
}

} // namespace

void LimitLibrarySearch()
{
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
}

LibraryHandle LoadSharedLibrary(const char* fileName)
{
    return reinterpret_cast<LibraryHandle>(LoadLibraryExW(Widened(fileName).c_str(), nullptr, kSafeSearch));
}

void* GetSymbol(LibraryHandle library, const char* name)
{
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void FreeSharedLibrary(LibraryHandle library)
{
    FreeLibrary(static_cast<HMODULE>(library));
}

long LastErrorCode()
{
    return static_cast<long>(GetLastError());
}

std::string LibraryFilePath(LibraryHandle library)
{
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(static_cast<HMODULE>(library), path, MAX_PATH);
    return std::string(path, length);
}

namespace {

std::filesystem::path ProgramFolder()
{
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::filesystem::path(std::string(path, length)).parent_path();
}

std::filesystem::path SystemFolder()
{
    char path[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryA(path, MAX_PATH);
    return std::filesystem::path(std::string(path, length));
}

bool SameFolder(const std::filesystem::path& a, const std::filesystem::path& b)
{
    std::error_code error;
    return std::filesystem::equivalent(a, b, error);
}

} // namespace

std::string HowLibraryWasFound(const char* requested, const std::string& filePath)
{
    const std::string name = requested;
    if (name.find_first_of("\\/") != std::string::npos)
        return "by its path";
    const std::filesystem::path folder = std::filesystem::path(filePath).parent_path();
    if (SameFolder(folder, ProgramFolder()))
        return "in the program's folder";
    if (SameFolder(folder, SystemFolder()))
        return "in the system folder";
    return "among the modules already loaded";
}

std::string LoaderSearchOrder()
{
    return "the program's folder (" + ProgramFolder().string() + "), then the system folder (" +
           SystemFolder().string() + "); never the current folder or PATH";
}

std::string LoaderErrorText()
{
    return SystemErrorText(LastErrorCode());
}

std::string SystemErrorText(long code)
{
    char* buffer = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        static_cast<DWORD>(code), 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
    std::string text = length > 0 ? std::string(buffer, length) : "system error " + std::to_string(code);
    LocalFree(buffer);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.pop_back();
    return text;
}

} // namespace os
