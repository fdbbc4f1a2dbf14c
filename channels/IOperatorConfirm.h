#pragma once
// How an action asks the operator to go on over refusals that may be overridden: a
// question box in the window, --force on the command line, a recorder in tests.

#include <string>
#include <vector>

// UnrecordedWrite: the card history cannot record a write; the command line never
// says yes to it (--no-history leaves the history out from the start).
enum class ConfirmQuestion { Restore, Replace, UnrecordedWrite };

class IOperatorConfirm {
public:
    virtual ~IOperatorConfirm() = default;
    // `reasons`, one sentence each, say why the action should not go on; true: go on
    // all the same. False means nothing is done, and the front end has said so.
    virtual bool Confirm(ConfirmQuestion question, const std::vector<std::string>& reasons) = 0;
};

// The question as the window asks it: "Restore the image all the same?"
inline const char* ConfirmQuestionText(ConfirmQuestion question)
{
    switch (question) {
    case ConfirmQuestion::Restore:
        return "Restore the image all the same?";
    case ConfirmQuestion::Replace:
        return "Replace them?";
    case ConfirmQuestion::UnrecordedWrite:
        break;
    }
    return "Write into the card without recording it in the card history?";
}
