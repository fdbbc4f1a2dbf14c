#pragma once
// Runs one valdina-cli command on the system's core and prints its outcome. Holds
// the channel table of the run; failures go to `err` as the window's messages do.

#include <iosfwd>
#include <memory>
#include <optional>
#include <string>

#include "CEepromBytes.h"
#include "CHistoryRun.h"
#include "CSqliteHistoryStore.h"
#include "CardAction.h"
#include "CCardClock.h"
#include "ChannelTable.h"
#include "CliOptions.h"
#include "IChannelRows.h"
#include "CStreamMessages.h"
#include "CTerminalProgress.h"
#include "CTraceLog.h"

class CInstrument;
class CPassCancel;
class IOperatorConfirm;

class CCliCommands {
public:
    // `terminal`: `err` is a terminal, so the scan and the pass draw a progress bar.
    CCliCommands(CInstrument& instrument, std::ostream& out, std::ostream& err, bool terminal);
    CCliCommands(const CCliCommands&) = delete;
    CCliCommands& operator=(const CCliCommands&) = delete;
    ~CCliCommands();

    // Returns the exit code.
    int Run(const CliOptions& options);
    // A request there stops the scan or pass at its next card; the table is printed as it stands.
    void SetCancel(CPassCancel* cancel) { m_cancel = cancel; }

private:
    int Scan();
    int Verify(const CliOptions& options);
    int Clear();
    int Peek(const CliOptions& options);
    int Poke(const CliOptions& options);
    int Dump(const CliOptions& options);
    int History(const CliOptions& options);
    // Opens the card history for a command that records into it, unless --no-history.
    void BeginHistory(const CliOptions& options);
    // Records the run's end as its exit code and any cancel tell it; returns the code.
    int EndHistory(int exitCode);
    // EEPROM images (CCliImageCommands.cpp).
    int SaveImage(const CliOptions& options);
    int SaveAllImages(const CliOptions& options);
    int CompareImage(const CliOptions& options);
    int RestoreImage(const CliOptions& options);
    // Scans for the table's serials and models; false after saying why not.
    bool ScanForImages();
    // Says `text` on `err` as a refusal and returns kExitRefused.
    int Refuse(const std::string& text);
    // What an image action or a verify of some cards works with; `confirm` answers its questions.
    CardActionFront Front(IOperatorConfirm& confirm);
    // Prints an action's summary and returns the exit code of its outcome.
    int FinishAction(const ActionResult& result);
    // Report file, JUnit file, then the table on `out`; returns the exit code after all.
    int Finish(const CliOptions& options, int exitCode);
    // Returns whether the file was written; says why not on `err` otherwise.
    bool WriteJUnit(const CliOptions& options, bool passFailed);
    bool AnyPresentCardNotGood() const;
    IPassObserver& Progress();
    int FailWithError();
    // Says on `err` where a cancel stopped the `pass`; false when none did.
    bool ReportCancel(const char* pass);
    // Writes `text` to `out`; a failed write turns `exitCode` into a failure.
    int Print(const std::string& text, int exitCode);

    CInstrument& m_instrument;
    CEepromBytes m_eeprom;
    std::ostream& m_out;
    std::ostream& m_err;
    bool m_terminal;
    CStreamMessages m_messages;
    CTraceLog m_trace;
    std::optional<CTerminalProgress> m_progress;
    CNoPassObserver m_noProgress;
    std::optional<CCardClock> m_clock;
    CNoChannelRows m_rows;
    ChannelTable m_channels;
    CPassCancel* m_cancel = nullptr;
    std::string m_cancelled;   // what the cancel stopped, as both front ends say it; empty when none
    std::unique_ptr<CSqliteHistoryStore> m_store;
    std::unique_ptr<CHistoryRun> m_history;
};
