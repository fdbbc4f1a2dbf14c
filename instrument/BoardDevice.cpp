#include "BoardDevice.h"

#include <cerrno>
#include <cstdlib>

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

std::string BoardDevicePath(int board)
{
    const char* folder = std::getenv("VALDINA_GPIB_DEVICE_DIR");
    return std::string(folder != nullptr && *folder != '\0' ? folder : "/dev") + "/gpib" + std::to_string(board);
}

int BoardDeviceOpenError(int board)
{
#ifdef _WIN32
    (void)board;
    return 0;
#else
    // Non-blocking, so that a node of some other device cannot stall the open.
    const int fd = open(BoardDevicePath(board).c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno;
    close(fd);
    return 0;
#endif
}
