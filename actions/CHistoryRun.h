#pragma once
// One run of a command as the card history keeps it, shared by both front ends: the
// run's start, the cards it judged, every write into a card (recorded before its
// first byte goes out, its outcome after) and every image saved.
//
// Scans and passes are recorded as well as the store allows: a store that cannot
// record gives one note, and never changes a pass's verdicts or outcome. A write the
// store cannot record is refused unless the operator lets it go unrecorded (the
// window's question); a run without a store at all (--no-history) writes and says
// that the write went unrecorded.

#include <cstdint>
#include <string>
#include <vector>

#include "CardAction.h"
#include "ChannelTable.h"
#include "HistoryRecords.h"
#include "IPassObserver.h"

class CInstrument;
class IHistoryStore;
class IOperatorConfirm;
class IOperatorMessages;

// A run's outcome as the history keeps it: "done", "not good", "refused", "failed",
// or "cancelled" and how far it got ("cancelled: verify cancelled after 3 of 8 cards").
std::string RunOutcomeText(ActionOutcome outcome, const std::string& howFar = {});
// "Header ok, gain bad, ..." of a card's last image check; empty when none was made.
std::string BlockVerdicts(const CChannelInfo& card);

class CHistoryRun {
public:
    // `store` null: the operator chose to keep no history for this run. `notes`
    // takes the one line about a store that cannot record a pass.
    CHistoryRun(IHistoryStore* store, const CInstrument& instrument, std::string program, std::string command,
                IOperatorMessages& notes);
    CHistoryRun(const CHistoryRun&) = delete;
    CHistoryRun& operator=(const CHistoryRun&) = delete;

    // Whether this run may write into cards at all, asked before anything is read
    // for a write: a question may stand open for minutes, and what a write is planned
    // from must be read after it. A store that cannot record: the operator is asked
    // (UnrecordedWrite), and a no refuses, said by `confirm`'s front end. No store: true.
    bool MayWrite(IOperatorConfirm& confirm);
    // Records a write before its first byte goes out. False: the store could not
    // record it (the notes say why) and nothing may be written. Unrecorded writes
    // (no store, or let go by MayWrite) go out with a note that says so.
    bool BeginWrite(WriteStart write);
    // How the write begun last ended.
    void EndWrite(const WriteEnd& end);
    void SavedImage(SavedImage image);
    // The front end's observer of the run's passes, with the run noting each card a
    // scan, verify pass or restore finished.
    IPassObserver& Watch(IPassObserver& next);
    // Records the run's end with the cards its passes finished, as `table` holds
    // them now. Once; later calls do nothing.
    void End(const std::string& outcome, const ChannelTable& table);
    // The same for a run without a table (poke).
    void End(const std::string& outcome);

private:
    class CCardsSeen final : public IPassObserver {
    public:
        explicit CCardsSeen(std::vector<bool>& seen) : m_seen(seen) {}
        IPassObserver* next = nullptr;
        void BeginPass(PassKind kind) override;
        void CardStarted(PassKind kind, int index, int total, int channel) override;
        void ChannelDone(PassKind kind, int done, int total, int channel, int status) override;
        void EndPass(PassKind kind) override;

    private:
        std::vector<bool>& m_seen;
    };

    bool EnsureBegun();
    void Finish(const std::string& outcome, const std::vector<CardResult>& cards);
    void Note(const std::string& text);

    IHistoryStore* m_store;
    IOperatorMessages& m_notes;
    RunStart m_start;
    std::int64_t m_run = 0;
    std::int64_t m_write = 0;
    bool m_letGo = false;   // the operator let this run's writes go unrecorded
    bool m_ended = false;
    bool m_noted = false;
    std::vector<bool> m_seen = std::vector<bool>(kChannelCount, false);
    CCardsSeen m_watch{m_seen};
};
