#include "SharedLibrary.h"

#include <cerrno>
#include <dlfcn.h>

namespace os {

LibraryHandle LoadSharedLibrary(const char* fileName)
{
    errno = 0;
    return dlopen(fileName, RTLD_NOW | RTLD_LOCAL);
}

void* GetSymbol(LibraryHandle library, const char* name)
{
    errno = 0;
    return dlsym(library, name);
}

void FreeSharedLibrary(LibraryHandle library)
{
    dlclose(library);
}

long LastErrorCode()
{
    return errno;
}

} // namespace os
