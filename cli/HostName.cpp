#include "HostName.h"

#ifdef _WIN32
#include <windows.h>
#else
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
