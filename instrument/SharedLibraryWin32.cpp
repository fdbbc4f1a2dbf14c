#include "SharedLibrary.h"

#include <windows.h>

namespace os {

LibraryHandle LoadSharedLibrary(const char* fileName)
{
    return reinterpret_cast<LibraryHandle>(LoadLibraryA(fileName));
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

} // namespace os
