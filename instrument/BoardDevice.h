#pragma once
// The device file through which linux-gpib reaches board N: /dev/gpibN, or the
// file of that name in the folder VALDINA_GPIB_DEVICE_DIR names. After a failed
// open of that file the library reports only EBADF for the descriptor it never
// got; opening the file again tells the real cause. NI-488.2 on Windows has no
// such file.

#include <string>

std::string BoardDevicePath(int board);
// 0 when this user can open board N's device file for reading and writing (and
// always on Windows), otherwise the system error of the attempt.
int BoardDeviceOpenError(int board);
