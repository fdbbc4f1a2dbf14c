#pragma once
// The operating system's run-time loader, reduced to what the driver binding needs.
// Windows: LoadLibraryExW / GetProcAddress / FreeLibrary / GetLastError.
// Linux:   dlopen / dlsym / dlclose / errno.

#include <string>

namespace os {

using LibraryHandle = void*;

// First thing at a program's start: from then on every load of any library (the
// driver, the driver's own later loads, delay-loaded imports) searches the
// program's folder and the system folder only, never the current folder or PATH.
// Linux has no such search; nothing to do there.
void LimitLibrarySearch();

LibraryHandle LoadSharedLibrary(const char* fileName);
void* GetSymbol(LibraryHandle library, const char* name);
void FreeSharedLibrary(LibraryHandle library);
// The loader's last error code right after a failed call (GetLastError / errno).
long LastErrorCode();

// For telling the operator what the loader did. The file the loader took for a
// loaded library (empty when it cannot tell).
std::string LibraryFilePath(LibraryHandle library);
// By which rule of the loader's search `requested` became `filePath`, in words.
std::string HowLibraryWasFound(const char* requested, const std::string& filePath);
// Where the loader looks for a library named without a folder, in words.
std::string LoaderSearchOrder();
// The loader's own words for the load that just failed.
std::string LoaderErrorText();
// A system error code as the driver reports it (errno / GetLastError value), as text.
std::string SystemErrorText(long code);

} // namespace os
