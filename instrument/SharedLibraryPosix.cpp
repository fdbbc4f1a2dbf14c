#include "SharedLibrary.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <filesystem>
#include <link.h>
#include <system_error>

namespace os {

void LimitLibrarySearch() {}

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

std::string LibraryFilePath(LibraryHandle library)
{
    link_map* map = nullptr;
    if (dlinfo(library, RTLD_DI_LINKMAP, &map) != 0 || map == nullptr || map->l_name == nullptr)
        return {};
    return map->l_name;
}

namespace {

bool SameFolder(const std::filesystem::path& a, const std::filesystem::path& b)
{
    std::error_code error;
    return std::filesystem::equivalent(a, b, error);
}

} // namespace

std::string HowLibraryWasFound(const char* requested, const std::string& filePath)
{
    if (std::strchr(requested, '/') != nullptr)
        return "by its path";
    const std::filesystem::path folder = std::filesystem::path(filePath).parent_path();
    const char* searchPath = std::getenv("LD_LIBRARY_PATH");
    std::string entries = searchPath != nullptr ? searchPath : "";
    for (std::size_t start = 0; start <= entries.size();) {
        std::size_t end = entries.find_first_of(":;", start);
        if (end == std::string::npos)
            end = entries.size();
        const std::string entry = entries.substr(start, end - start);
        if (!entry.empty() && SameFolder(entry, folder))
            return "through LD_LIBRARY_PATH";
        start = end + 1;
    }
    return "through the loader's cache (ldconfig) or its standard folders";
}

std::string LoaderSearchOrder()
{
    const char* searchPath = std::getenv("LD_LIBRARY_PATH");
    const std::string ld = searchPath != nullptr && *searchPath != '\0' ? std::string("LD_LIBRARY_PATH (") + searchPath + ")"
                                                                       : std::string("LD_LIBRARY_PATH (unset)");
    return ld + ", the loader's cache (ldconfig, /etc/ld.so.conf), /lib and /usr/lib";
}

std::string LoaderErrorText()
{
    const char* text = dlerror();
    return text != nullptr ? text : "";
}

std::string SystemErrorText(long code)
{
    return std::generic_category().message(static_cast<int>(code));
}

} // namespace os
