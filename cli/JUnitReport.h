#pragma once
// --junit: the cards as JUnit XML for a CI server, valid for both the Ant-style
// schema and the Jenkins xUnit plugin's, so the root is the one test suite
// (those schemas disagree on totals on a <testsuites> wrapper). The suite is
// named after the command and the station, so suites from several runs merge.
// One test case per card present in channel order, grouped by mainframe and
// rack: Good passes, Fail is a failure with its reason, a card that a bus
// failure left "reading" or "unknown" is an error, as is one whose gain
// self-test could not run. After a scan alone an "unknown" card was found but
// not verified: skipped, as is a card that a cancelled run never reached (one
// its pass finished, even on a bus failure, keeps that verdict). A
// cancelled run, a scan or pass that failed as a whole, and a scan that found
// no card each add an error case, so such a run never reads as a success.

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
    std::string program;                    // the program and its version
    std::time_t started = 0;
    double seconds = 0;
    std::array<double, kChannelCount> cardSeconds{};
    std::array<std::string, kChannelCount> cardMessages;  // the bus failure shown for the card, if any
    std::array<bool, kChannelCount> cardsDone{};          // the cards the run's own pass (kind) finished
    bool passFailed = false;                // the scan or the verify pass failed as a whole
    std::string cancelled;                  // "verify cancelled after N of M cards"; empty when not cancelled
    std::vector<std::string> messages;      // the operator messages shown during the run, with their causes
};

std::string FormatJUnitReport(const JUnitRun& run, const ChannelTable& channels);
