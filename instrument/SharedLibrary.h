#pragma once
// The operating system's run-time loader, reduced to what the driver binding needs.
// Windows: LoadLibraryA / GetProcAddress / FreeLibrary / GetLastError.
// Linux:   dlopen / dlsym / dlclose / errno.

namespace os {

using LibraryHandle = void*;

LibraryHandle LoadSharedLibrary(const char* fileName);
void* GetSymbol(LibraryHandle library, const char* name);
void FreeSharedLibrary(LibraryHandle library);
// The loader's last error code right after a failed call (GetLastError / errno).
long LastErrorCode();

} // namespace os
