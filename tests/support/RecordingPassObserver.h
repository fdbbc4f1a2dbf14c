#pragma once
// Records a pass as lines: "Begin Scan", "Start 1/3 ch=5", "Done 1/3 ch=5 status=1",
// "End Scan". `openWhileShown` notes whether a pass was open each time a message was
// shown. With `cancel` set, it requests the cancel when card `cancelAfter` is done.

#include <string>
#include <vector>

#include "CPassCancel.h"
#include "IPassObserver.h"
#include "IOperatorMessages.h"

class RecordingPassObserver final : public IPassObserver, public IOperatorMessages {
public:
    void BeginPass(PassKind kind) override
    {
        ++depth;
        events.push_back(std::string("Begin ") + Name(kind));
    }
    void CardStarted(PassKind, int index, int total, int channel) override
    {
        events.push_back("Start " + std::to_string(index) + "/" + std::to_string(total) + " ch="
                         + std::to_string(channel));
    }
    void ChannelDone(PassKind, int done, int total, int channel, int status) override
    {
        if (cancel != nullptr && done == cancelAfter)
            cancel->Request();
        events.push_back("Done " + std::to_string(done) + "/" + std::to_string(total) + " ch="
                         + std::to_string(channel) + " status=" + std::to_string(status));
    }
    void EndPass(PassKind kind) override
    {
        --depth;
        events.push_back(std::string("End ") + Name(kind));
    }
    void ShowMessage(const std::string& text, MessageIcon) override
    {
        messages.push_back(text);
        openWhileShown.push_back(depth > 0);
    }

    std::vector<std::string> events;
    std::vector<std::string> messages;
    std::vector<bool> openWhileShown;
    int depth = 0;
    CPassCancel* cancel = nullptr;
    int cancelAfter = 0;

private:
    static const char* Name(PassKind kind)
    {
        switch (kind) {
        case PassKind::Scan: return "Scan";
        case PassKind::Verify: return "Verify";
        case PassKind::Save: return "Save";
        case PassKind::Restore: break;
        }
        return "Restore";
    }
};
