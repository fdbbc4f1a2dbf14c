#pragma once
// What valdina-cli tells its caller through the exit status.

enum CliExitCode : int {
    kExitOk = 0,          // the command succeeded; for verify, every present card is Good
    kExitNotGood = 1,     // the verify pass ran to its end, some present card is not Good
    kExitFailed = 2,      // scan, mainframe check, clear, peek, poke, dump, save, report file or output failed;
                          // restore: a byte did not read back or the bus failed, the address named
    kExitRefused = 3,     // refused before anything was written: a file, a card, a serial (save, compare, restore, verify)
    kExitUsage = 64,      // the command line was not understood; nothing reached the bus
};
