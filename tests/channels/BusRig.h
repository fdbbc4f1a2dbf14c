#pragma once
// What a bus test of the channel core works with: a simulated mainframe, the real
// connection loading the driver through the loader, a recording list and observer.

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "CInstrument.h"
#include "ChannelTable.h"
#include "RecordingChannelRows.h"
#include "RecordingPassObserver.h"
#include "ScenarioFile.h"

struct BusRig {
    explicit BusRig(const std::string& scenarioJson)
        : scenario(std::make_unique<ScenarioFile>(scenarioJson))
    {
        instrument.SetMessageSink(&observer);
    }

    // Another mainframe (or the same one misbehaving) from here on; table and list stay.
    void Switch(const std::string& scenarioJson)
    {
        scenario.reset();
        scenario = std::make_unique<ScenarioFile>(scenarioJson);
    }

    // Commands sent since the latest `Switch` or `scenario->ClearLog()`.
    std::vector<std::string> Sent() const { return scenario->SentCommands(); }

    std::size_t CountSent(const std::string& prefix) const
    {
        const auto sent = Sent();
        return static_cast<std::size_t>(std::count_if(sent.begin(), sent.end(),
            [&](const std::string& c) { return c.rfind(prefix, 0) == 0; }));
    }

    std::unique_ptr<ScenarioFile> scenario;
    CInstrument instrument;
    RecordingPassObserver observer;
    RecordingChannelRows rows;
    ChannelTable channels{};
};
