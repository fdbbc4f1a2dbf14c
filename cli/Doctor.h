#pragma once
// `valdina-cli doctor`: walks the chain from the program to the mainframe (driver
// library, its exports, on Linux the configuration and device files, the board,
// the mainframe's address and its presence reply) and prints one line per step
// with OK or FAIL and, on failure, what to do.

#include <iosfwd>

class CInstrument;

// Returns 0 when every step passed, 2 otherwise.
int RunDoctor(CInstrument& instrument, std::ostream& out);
