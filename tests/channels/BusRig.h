#pragma once
// What a bus test of the channel core works with: a simulated mainframe, the real
// connection loading the driver through the loader, a recording list and observer.

#include <algorithm>
#include <optional>
#include <utility>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "CInstrument.h"
#include "ChannelTable.h"
#include "RecordingChannelRows.h"
#include "RecordingPassObserver.h"
#include "SimScenario.h"

struct BusRig {
    // The text is parsed, since a json made from a std::string is one JSON string.
    explicit BusRig(const std::string& scenarioJson)
        : scenario(std::in_place, nlohmann::json::parse(scenarioJson))
    {
        instrument.SetMessageSink(&observer);
    }

    // Another mainframe (or the same one misbehaving) from here on; table and list stay.
    void Switch(const std::string& scenarioJson)
    {
        scenario.reset();
        scenario.emplace(nlohmann::json::parse(scenarioJson));
    }

    // Commands sent since the latest `Switch` or `scenario->clearBusLog()`.
    std::vector<std::string> Sent() const { return scenario->busLog().commands(); }

    std::size_t CountSent(const std::string& prefix) const
    {
        const auto sent = Sent();
        return static_cast<std::size_t>(std::count_if(sent.begin(), sent.end(),
            [&](const std::string& c) { return c.rfind(prefix, 0) == 0; }));
    }

    std::optional<valdina::test::SimScenario> scenario;
    CInstrument instrument;
    RecordingPassObserver observer;
    RecordingChannelRows rows;
    ChannelTable channels{};
};
