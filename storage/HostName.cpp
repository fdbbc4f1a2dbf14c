#include "HostName.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <pwd.h>
#include <unistd.h>
#endif

std::string HostName()
{
#ifdef _WIN32
    char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = sizeof name;
    return GetComputerNameA(name, &size) ? std::string(name, size) : std::string();
#else
    char name[256] = {};
    // A name that fills the buffer may lack its terminating zero.
    if (gethostname(name, sizeof name - 1) != 0)
        return {};
    return name;
#endif
}

std::string LoginName()
{
#ifdef _WIN32
    char name[256 + 1] = {};
    DWORD size = sizeof name;
    // The size returned counts the terminating zero.
    return GetUserNameA(name, &size) && size > 0 ? std::string(name, size - 1) : std::string();
#else
    // The account the program runs as, not a variable anyone may set.
    if (const passwd* entry = getpwuid(geteuid()); entry != nullptr && entry->pw_name != nullptr)
        return entry->pw_name;
    return {};
#endif
}
