#pragma once
// What an action on a card (save, compare, restore an EEPROM image) works with, the
// same for both front ends, and what it comes to. Each action is one function that
// both front ends call once the operator has named the card and the file: every
// check, question, message and verdict is the action's own.

#include <string>

#include "ChannelTable.h"

class CHistoryRun;
class CInstrument;
class CPassCancel;
class IChannelRows;
class IOperatorConfirm;
class IOperatorMessages;
class IPassObserver;

struct CardActionFront {
    CInstrument& instrument;
    ChannelTable& channels;
    IChannelRows& rows;
    IPassObserver& observer;
    IOperatorMessages& messages;   // refusals and failures, each said once
    IOperatorConfirm& confirm;     // refusals that the operator may override
    CPassCancel* cancel = nullptr;
    CHistoryRun* history = nullptr;   // none: nothing is recorded (tests, benches)
};

enum class ActionOutcome {
    Done,        // done; the card (or comparison) is as it should be
    NotGood,     // done, but the card is not Good or the images differ
    Refused,     // refused before anything was written; the messages say why
    Failed,      // the bus or a file failed on the way; the messages say where
    Cancelled,   // stopped by the operator; the summary says how far it got
};

struct ActionResult {
    ActionOutcome outcome = ActionOutcome::Failed;
    std::string summary;   // what was done, for the output or the window's message pane
};
