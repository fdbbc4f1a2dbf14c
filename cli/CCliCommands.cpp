#include "CCliCommands.h"

#include <algorithm>
#include <cstring>
#include <ostream>
#include <sstream>

#include "BlockListing.h"
#include "CInstrument.h"
#include "CPassCancel.h"
#include "ChannelScan.h"
#include "Doctor.h"
#include "ExitCode.h"
#include "CForceConfirm.h"
#include "HexDump.h"
#include "HistoryFormat.h"
#include "HostName.h"
#include "ImageRestore.h"
#include "JUnitReport.h"
#include "JsonReport.h"
#include "PokeAction.h"
#include "PresentChannels.h"
#include "ReportFile.h"
#include "ReportFormat.h"
#include "TextFormat.h"
#include "ValdinaVersion.h"
#include "VerifyAll.h"

CCliCommands::CCliCommands(CInstrument& instrument, std::ostream& out, std::ostream& err, bool terminal)
    : m_instrument(instrument),
      m_eeprom(instrument),
      m_out(out),
      m_err(err),
      m_terminal(terminal),
      m_messages(err, terminal),
      m_trace(err)
{
    m_instrument.SetMessageSink(&m_messages);
    m_messages.ExplainDriverErrors(&m_instrument);
}

CCliCommands::~CCliCommands()
{
    m_instrument.SetMessageSink(nullptr);
    m_instrument.SetTransactionObserver(nullptr);
    m_instrument.Binding().SetCallObserver(nullptr);
}

int CCliCommands::Run(const CliOptions& options)
{
    if (options.trace) {
        m_instrument.SetTransactionObserver(&m_trace);
        m_instrument.Binding().SetCallObserver(&m_trace);
    }
    // Trace lines and a bar redrawn in place would garble each other.
    if (m_terminal && !options.trace)
        m_progress.emplace(m_err);
    if (m_progress)
        m_clock.emplace(*m_progress, m_messages.Shown());
    else
        m_clock.emplace(m_noProgress, m_messages.Shown());

    if (RecordsHistory(options.command))
        BeginHistory(options);

    switch (options.command) {
    case CliCommand::Scan:
        return Finish(options, EndHistory(Scan()));
    case CliCommand::Verify:
        return Finish(options, EndHistory(Verify(options)));
    case CliCommand::Clear:
        return Clear();
    case CliCommand::Peek:
        return Peek(options);
    case CliCommand::Poke:
        return EndHistory(Poke(options));
    case CliCommand::Dump:
        return Dump(options);
    case CliCommand::Save:
        return EndHistory(SaveImage(options));
    case CliCommand::SaveAll:
        return EndHistory(SaveAllImages(options));
    case CliCommand::Compare:
        return CompareImage(options);
    case CliCommand::Restore:
        return EndHistory(RestoreImage(options));
    case CliCommand::History:
        return History(options);
    case CliCommand::Doctor:
        // Each step goes out as it finishes, before the next one calls the driver.
        return Print("", RunDoctor(m_instrument, m_out));
    }
    return kExitUsage;
}

int CCliCommands::Scan()
{
    const bool ok = ScanChannels(m_instrument, m_channels, m_rows, Progress(), m_cancel);
    ReportCancel("scan");
    return ok ? kExitOk : kExitFailed;
}

int CCliCommands::Verify(const CliOptions& options)
{
    if (!ScanChannels(m_instrument, m_channels, m_rows, Progress(), m_cancel)) {
        ReportCancel("scan");
        return kExitFailed;
    }
    if (!options.channels.empty()) {
        // Only the cards named are verified, and only they are listed afterwards.
        for (int channel : options.channels) {
            if (m_channels[static_cast<std::size_t>(channel)].m_nStatus == StatusNotPresent)
                return Refuse(AbsentCardText(channel) + " Nothing was verified.");
        }
        for (int channel : PresentChannels(m_channels)) {
            if (std::ranges::find(options.channels, channel) == options.channels.end())
                m_channels[static_cast<std::size_t>(channel)] = CChannelInfo{};
        }
    }
    if (!VerifyAllChannels(m_instrument, m_channels, m_rows, Progress(), m_cancel))
        return kExitFailed;
    ReportCancel("verify");
    return AnyPresentCardNotGood() ? kExitNotGood : kExitOk;
}

bool CCliCommands::ReportCancel(const char* pass)
{
    if (m_cancel == nullptr || !m_cancel->Stopped())
        return false;
    m_cancelled = m_cancel->Summary(pass);
    m_err << "valdina-cli: " << m_cancelled << "\n" << std::flush;
    return true;
}

CardActionFront CCliCommands::Front(IOperatorConfirm& confirm)
{
    return {m_instrument, m_channels, m_rows, Progress(), m_messages, confirm, m_cancel, m_history.get()};
}

IPassObserver& CCliCommands::Progress()
{
    return m_history ? m_history->Watch(*m_clock) : *m_clock;
}

void CCliCommands::BeginHistory(const CliOptions& options)
{
    if (!options.noHistory)
        m_store = std::make_unique<CSqliteHistoryStore>(ChooseHistoryLocation(options.historyPath),
                                                        CSqliteHistoryStore::Options{});
    m_history = std::make_unique<CHistoryRun>(m_store.get(), m_instrument, "valdina-cli " VALDINA_VERSION,
                                              options.commandLine, m_messages);
}

int CCliCommands::EndHistory(int exitCode)
{
    if (!m_history)
        return exitCode;
    ActionOutcome outcome = ActionOutcome::Failed;
    if (exitCode == kExitOk)
        outcome = ActionOutcome::Done;
    else if (exitCode == kExitNotGood)
        outcome = ActionOutcome::NotGood;
    else if (exitCode == kExitRefused)
        outcome = ActionOutcome::Refused;
    // A restore stopped by a signal: its write's record says how far it got.
    if (!m_cancelled.empty() || (m_cancel != nullptr && m_cancel->Stopped()))
        outcome = ActionOutcome::Cancelled;
    m_history->End(RunOutcomeText(outcome, m_cancelled), m_channels);
    return exitCode;
}

int CCliCommands::History(const CliOptions& options)
{
    CSqliteHistoryStore::Options reading;
    reading.mode = CSqliteHistoryStore::Mode::Read;
    CSqliteHistoryStore store(ChooseHistoryLocation(options.historyPath), reading);
    HistoryQuery query;
    if (options.historyByChannel)
        query.channel = options.channel;
    else
        query.serial = options.historySerial;
    query.since = options.since;
    query.writesOnly = options.writesOnly;
    const std::optional<std::vector<HistoryEntry>> entries = store.Query(query);
    if (!entries) {
        m_messages.ShowMessage(store.Problem(), MessageIcon::Exclamation);
        return kExitFailed;
    }
    if (options.json)
        return Print(FormatHistoryJson(*entries), kExitOk);
    if (options.csv)
        return Print(FormatHistoryCsv(*entries), kExitOk);
    if (entries->empty()) {
        const std::string card = options.historyByChannel ? "channel " + std::to_string(options.channel)
                                                          : "serial " + options.historySerial;
        return Print("No " + std::string(options.writesOnly ? "writes into " : "history of ") + card + " in "
                         + store.Where() + ".\n",
                     kExitOk);
    }
    return Print(FormatHistoryText(*entries), kExitOk);
}

bool CCliCommands::AnyPresentCardNotGood() const
{
    return std::ranges::any_of(PresentChannels(m_channels), [this](int channel) {
        return m_channels[static_cast<std::size_t>(channel)].m_nStatus != StatusGood;
    });
}

int CCliCommands::Finish(const CliOptions& options, int exitCode)
{
    const bool passFailed = exitCode == kExitFailed;
    if (!options.reportPath.empty()) {
        const ReportWriteResult written = WriteReportFile(options.reportPath, m_channels);
        if (!written.ok()) {
            m_messages.ShowMessage(FileErrorText(written.cause, options.reportPath), written.icon());
            exitCode = kExitFailed;
        }
    }
    if (!options.junitPath.empty() && !WriteJUnit(options, passFailed))
        exitCode = kExitFailed;
    if (options.json)
        return Print(FormatJsonReport(m_channels, m_messages.Shown()), exitCode);
    // A scan that failed at its start has nothing to list: no bare header.
    if (passFailed && CountPresentChannels(m_channels) == 0)
        return Print("", exitCode);
    return Print(FormatReport(m_channels, "\n"), exitCode);
}

bool CCliCommands::WriteJUnit(const CliOptions& options, bool passFailed)
{
    JUnitRun run;
    run.kind = options.command == CliCommand::Scan ? PassKind::Scan : PassKind::Verify;
    run.board = m_instrument.Board();
    run.address = m_instrument.Address();
    run.hostname = HostName();
    run.program = "valdina-cli " VALDINA_VERSION;
    run.started = m_clock->Started();
    run.seconds = m_clock->TotalSeconds();
    run.cardSeconds = m_clock->CardSeconds();
    run.cardMessages = m_clock->CardMessages();
    run.cardsDone = m_clock->CardsDone(run.kind);
    run.passFailed = passFailed;
    run.cancelled = m_cancelled;
    run.messages = m_messages.ShownWithCauses();
    const ReportWriteResult written = WriteWholeFile(options.junitPath, FormatJUnitReport(run, m_channels));
    if (written.ok())
        return true;
    m_messages.ShowMessage(FileErrorText(written.cause, options.junitPath), written.icon());
    return false;
}

int CCliCommands::Print(const std::string& text, int exitCode)
{
    m_out << text << std::flush;
    if (m_out)
        return exitCode;
    // A script reading a full disk or a closed file must not take the run for a success.
    m_err << "valdina-cli: the output could not be written\n" << std::flush;
    return kExitFailed;
}

int CCliCommands::FailWithError()
{
    m_instrument.ShowError();
    return kExitFailed;
}

int CCliCommands::Clear()
{
    return m_instrument.DevClear() ? kExitOk : FailWithError();
}

int CCliCommands::Peek(const CliOptions& options)
{
    std::uint8_t byte = 0;
    if (!m_eeprom.ReadByte(options.channel, options.address, byte))
        return FailWithError();
    return Print(FormatText("0x%02X\n", byte), kExitOk);
}

int CCliCommands::Poke(const CliOptions& options)
{
    CForceConfirm confirm(m_messages, false);
    const ActionResult result = PokeCardByte(Front(confirm), options.channel, options.address, options.byte);
    // A poke that went through says so on standard error: its output stays empty for scripts.
    if (result.outcome == ActionOutcome::Done) {
        m_messages.ShowMessage(result.summary, MessageIcon::Exclamation);
        return kExitOk;
    }
    return FinishAction(result);
}

int CCliCommands::Dump(const CliOptions& options)
{
    if (!m_instrument.Select(options.channel))
        return FailWithError();
    // As in the scan, a card that does not tell its model is simply not exempt.
    CChannelInfo card;
    std::memset(card.m_szModel, 0, sizeof card.m_szModel);
    m_instrument.QueryModel(card.m_szModel);
    EepromImage image{};
    if (!m_eeprom.ReadImage(options.channel, image))
        return FailWithError();
    return Print(FormatHexDump(image) + FormatBlockListing(image, card), kExitOk);
}
