#include "CHistoryRun.h"

#include "CInstrument.h"
#include "EepromLayout.h"
#include "HostName.h"
#include "IHistoryStore.h"
#include "IOperatorConfirm.h"
#include "IOperatorMessages.h"
#include "UtcTime.h"

std::string BlockVerdicts(const CChannelInfo& card)
{
    std::string text;
    for (std::size_t i = 0; i < kEepromBlocks.size(); ++i) {
        const unsigned bit = 1u << i;
        if ((card.m_checkedBlocks & bit) == 0)
            continue;
        text += (text.empty() ? "" : ", ") + std::string(kEepromBlocks[i].name)
            + ((card.m_validBlocks & bit) != 0 ? " ok" : " bad");
    }
    return text;
}

std::string RunOutcomeText(ActionOutcome outcome, const std::string& howFar)
{
    switch (outcome) {
    case ActionOutcome::Done:
        return "done";
    case ActionOutcome::NotGood:
        return "not good";
    case ActionOutcome::Refused:
        return "refused";
    case ActionOutcome::Failed:
        return "failed";
    case ActionOutcome::Cancelled:
        break;
    }
    return howFar.empty() ? "cancelled" : "cancelled: " + howFar;
}

CHistoryRun::CHistoryRun(IHistoryStore* store, const CInstrument& instrument, std::string program,
                         std::string command, IOperatorMessages& notes)
    : m_store(store), m_notes(notes)
{
    m_start.started = UtcNow();
    m_start.station = HostName();
    m_start.operatorName = LoginName();
    m_start.program = std::move(program);
    m_start.command = std::move(command);
    m_start.board = instrument.Board();
    m_start.address = instrument.Address();
}

void CHistoryRun::Note(const std::string& text)
{
    if (m_noted)
        return;
    m_noted = true;
    m_notes.ShowMessage(text, MessageIcon::Exclamation);
}

bool CHistoryRun::EnsureBegun()
{
    if (m_run == 0)
        m_run = m_store->BeginRun(m_start);
    return m_run != 0;
}

bool CHistoryRun::MayWrite(IOperatorConfirm& confirm)
{
    if (m_store == nullptr || m_letGo || EnsureBegun())
        return true;
    if (!confirm.Confirm(ConfirmQuestion::UnrecordedWrite, {m_store->Problem()}))
        return false;
    m_letGo = true;
    return true;
}

bool CHistoryRun::BeginWrite(WriteStart write)
{
    m_write = 0;
    const std::string card = "channel " + std::to_string(write.channel);
    if (m_store == nullptr || m_letGo) {
        m_notes.ShowMessage("The write into " + card + " is not recorded in the card history"
                                + (m_store == nullptr ? " (--no-history)." : "."),
                            MessageIcon::Exclamation);
        return true;
    }
    write.at = UtcNow();
    if (EnsureBegun())
        m_write = m_store->BeginWrite(m_run, write);
    if (m_write != 0)
        return true;
    m_notes.ShowMessage("Nothing was written into " + card + ": the card history cannot record the write. "
                            + m_store->Problem(),
                        MessageIcon::Exclamation);
    return false;
}

void CHistoryRun::EndWrite(const WriteEnd& end)
{
    if (m_write == 0)
        return;
    if (!m_store->EndWrite(m_write, end))
        Note("How the write ended is not recorded in the card history, which shows it begun: " + m_store->Problem());
    m_write = 0;
}

void CHistoryRun::SavedImage(::SavedImage image)
{
    if (m_store == nullptr)
        return;
    image.at = UtcNow();
    if (!EnsureBegun() || !m_store->RecordSavedImage(m_run, image))
        Note("The saved image is not recorded in the card history: " + m_store->Problem());
}

IPassObserver& CHistoryRun::Watch(IPassObserver& next)
{
    m_watch.next = &next;
    return m_watch;
}

void CHistoryRun::CCardsSeen::BeginPass(PassKind kind)
{
    next->BeginPass(kind);
}

void CHistoryRun::CCardsSeen::CardStarted(PassKind kind, int index, int total, int channel)
{
    next->CardStarted(kind, index, total, channel);
}

void CHistoryRun::CCardsSeen::ChannelDone(PassKind kind, int done, int total, int channel, int status)
{
    if (kind != PassKind::Save && channel >= 0 && channel < kChannelCount)
        m_seen[static_cast<std::size_t>(channel)] = true;
    next->ChannelDone(kind, done, total, channel, status);
}

void CHistoryRun::CCardsSeen::EndPass(PassKind kind)
{
    next->EndPass(kind);
}

void CHistoryRun::End(const std::string& outcome, const ChannelTable& table)
{
    std::vector<CardResult> cards;
    for (int channel = 0; channel < kChannelCount; ++channel) {
        const CChannelInfo& card = table[static_cast<std::size_t>(channel)];
        if (!m_seen[static_cast<std::size_t>(channel)] || card.m_nStatus == StatusNotPresent)
            continue;
        cards.push_back({channel, std::string(card.Serial()), std::string(card.Model()), card.m_nStatus,
                         card.m_strError, BlockVerdicts(card)});
    }
    Finish(outcome, cards);
}

void CHistoryRun::End(const std::string& outcome)
{
    Finish(outcome, {});
}

void CHistoryRun::Finish(const std::string& outcome, const std::vector<CardResult>& cards)
{
    if (m_ended || m_store == nullptr)
        return;
    m_ended = true;
    if (!m_store->EndRun(m_run, m_start, {UtcNow(), outcome}, cards))
        Note("This run is not recorded in the card history: " + m_store->Problem());
}
