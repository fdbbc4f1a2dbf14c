#pragma once
// How an action asks the operator to go on over refusals that may be overridden: a
// question box in the window, --force on the command line, a recorder in tests.

#include <string>
#include <vector>

enum class ConfirmQuestion { Restore, Replace };

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
    return question == ConfirmQuestion::Restore ? "Restore the image all the same?" : "Replace them?";
}
