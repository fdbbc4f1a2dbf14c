#pragma once
// --junit: the cards as JUnit XML for a CI server. One test suite for the
// mainframe, one test case per card present in channel order: Good passes, Fail
// is a failure with the card's error text, a card that a bus failure left
// "reading" or "unknown" is an error. After a scan alone an "unknown" card was
// found but not verified: skipped, as is a card that a cancelled run never reached. A scan or pass that failed as a whole adds an
// error case, so a run that listed no card never reads as a success.

#include <array>
#include <ctime>
#include <string>
#include <vector>

#include "ChannelTable.h"
#include "IPassObserver.h"

struct JUnitRun {
    PassKind kind = PassKind::Verify;
    int board = 0;
    int address = 0;
    std::string hostname;
    std::time_t started = 0;
    double seconds = 0;
    std::array<double, kChannelCount> cardSeconds{};
    std::array<std::string, kChannelCount> cardMessages;  // the bus failure shown for the card, if any
    bool passFailed = false;                // the scan or the verify pass failed as a whole
    bool cancelled = false;                 // stopped by the operator before its end
    std::vector<std::string> messages;      // the operator messages shown during the run
};

std::string FormatJUnitReport(const JUnitRun& run, const ChannelTable& channels);
