// valdina-cli: the scan, the verify pass, the report and the EEPROM byte access of
// the window, for production lines and service scripts.

#include <iostream>

#include "CInstrument.h"
#include "CPassCancel.h"
#include "CCliCommands.h"
#include "CliOptions.h"
#include "SignalCancel.h"
#include "CTerminalProgress.h"
#include "SharedLibrary.h"

int main(int argc, char** argv)
{
    os::LimitLibrarySearch();
    // Everything is checked before the connection exists: a usage error never
    // loads the driver.
    const CliParseOutcome parsed = ParseCliOptions(argc, argv, std::cout, std::cerr);
    if (!parsed.options)
        return parsed.exitCode;

    // Only the scan, the pass, save --all (at a card) and restore (at a byte) can stop; the other commands are one
    // exchange each and die of a signal as usual.
    static CPassCancel cancel;
    const CliCommand command = parsed.options->command;
    if (command == CliCommand::Scan || command == CliCommand::Verify || command == CliCommand::SaveAll
        || command == CliCommand::Restore)
        CancelOnSignals(cancel);

    CInstrument instrument;
    instrument.SetBus(parsed.options->board, parsed.options->busAddress);
    CCliCommands commands(instrument, std::cout, std::cerr, CTerminalProgress::StandardErrorIsTerminal());
    commands.SetCancel(&cancel);
    const int exitCode = commands.Run(*parsed.options);
    // 128 + the signal, as a shell reports a process that the signal ended.
    return CancelSignal() != 0 ? 128 + CancelSignal() : exitCode;
}
