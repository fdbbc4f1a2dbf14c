#pragma once
// A mainframe of N cards on the simulated driver, scanned and verified once, with the
// driver calls and transactions of that verify pass: what the benches measure against.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "BenchMainframe.h"
#include "CInstrument.h"
#include "ChannelScan.h"
#include "IChannelRows.h"
#include "IPassObserver.h"
#include "SimScenario.h"
#include "VerifyAll.h"

// One driver call as the bus log recorded it.
struct DriverCall {
    enum Kind { FindLstn, Send, Receive, WaitSRQ, ReadStatusByte } kind;
    std::string command;
    long limit = 0;
};

inline std::vector<DriverCall> CallsOf(const valdina::test::BusLog& log)
{
    std::vector<DriverCall> calls;
    for (const valdina::test::BusRecord& record : log.records()) {
        if (record.routine == "FindLstn") {
            calls.push_back({DriverCall::FindLstn, {}, 0});
        } else if (record.routine == "Send") {
            calls.push_back({DriverCall::Send, record.cmd.value_or(""), 0});
        } else if (record.routine == "Receive") {
            const long bytes = static_cast<long>(record.reply.size());
            calls.push_back({DriverCall::Receive, {}, bytes > 0 ? bytes : 1});
        } else if (record.routine == "WaitSRQ") {
            calls.push_back({DriverCall::WaitSRQ, {}, 0});
        } else if (record.routine == "ReadStatusByte") {
            calls.push_back({DriverCall::ReadStatusByte, {}, 0});
        }
    }
    return calls;
}

// A scanned mainframe of `cards` cards and the driver calls of one verify pass.
struct VerifiedMainframe {
    explicit VerifiedMainframe(int cards) : scenario(MainframeOfCards(cards))
    {
        instrument.SetMessageSink(&messages);
        scanned = ScanChannels(instrument, channels, rows, observer);
        scenario.clearBusLog();
        VerifyAllChannels(instrument, channels, rows, observer);
        calls = CallsOf(scenario.busLog());
        for (const DriverCall& call : calls)
            transactions += call.kind == DriverCall::Send;
        // Timed passes run without the bus log.
        ::unsetenv("ZENTRA_SIM_TRACE");
    }
    bool Usable(benchmark::State& state) const
    {
        if (!scanned || messages.count != 0) {
            state.SkipWithError("the simulated mainframe did not answer");
            return false;
        }
        return true;
    }

    valdina::test::SimScenario scenario;
    CInstrument instrument;
    ChannelTable channels{};
    CNoChannelRows rows;
    CNoPassObserver observer;
    CountingMessages messages;
    bool scanned = false;
    std::vector<DriverCall> calls;
    int transactions = 0;
};
