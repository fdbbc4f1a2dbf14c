// valdina-cli: the scan, the verify pass, the report and the EEPROM byte access of
// the window, for production lines and service scripts.

#include <iostream>

#include "CInstrument.h"
#include "CliCommands.h"
#include "CliOptions.h"
#include "TerminalProgress.h"

int main(int argc, char** argv)
{
    // Everything is checked before the connection exists: a usage error never
    // loads the driver.
    const CliParseOutcome parsed = ParseCliOptions(argc, argv, std::cout, std::cerr);
    if (!parsed.options)
        return parsed.exitCode;

    CInstrument instrument;
    instrument.SetBus(parsed.options->board, parsed.options->busAddress);
    CCliCommands commands(instrument, std::cout, std::cerr, CTerminalProgress::StandardErrorIsTerminal());
    return commands.Run(*parsed.options);
}
