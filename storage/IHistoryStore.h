#pragma once
// The card history behind both front ends. The embedded SQLite file is the one kept
// today (CSqliteHistoryStore); a site-wide server would be another of these.
//
// Every call either records in full or records nothing and says why in Problem():
// one sentence naming the store and what to do.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "HistoryRecords.h"

class IHistoryStore {
public:
    virtual ~IHistoryStore() = default;

    // Where the store is, as the operator names it.
    virtual std::string Where() const = 0;
    // Why the last call failed; empty after a success.
    virtual const std::string& Problem() const = 0;

    // Records a run that has started, for the writes and saves it will record; 0
    // when it could not.
    virtual std::int64_t BeginRun(const RunStart& run) = 0;
    // Records a run's end and its cards in one transaction. `run` 0: the run was
    // never begun, and is recorded whole now from `start`.
    virtual bool EndRun(std::int64_t run, const RunStart& start, const RunEnd& end,
                        const std::vector<CardResult>& cards) = 0;
    // Records a write before its first byte goes out, durably; 0 when it could not.
    virtual std::int64_t BeginWrite(std::int64_t run, const WriteStart& write) = 0;
    // Records how a write ended and each byte's read-back.
    virtual bool EndWrite(std::int64_t write, const WriteEnd& end) = 0;
    virtual bool RecordSavedImage(std::int64_t run, const SavedImage& image) = 0;

    // Newest first; none when the store could not be read.
    virtual std::optional<std::vector<HistoryEntry>> Query(const HistoryQuery& query) = 0;
};
