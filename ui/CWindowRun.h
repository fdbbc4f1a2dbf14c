#pragma once
// One command of the window as the card history keeps it: the core's run (CHistoryRun)
// under the window's program name, the view's pass observer behind the run's, and the
// run's notes (a store that cannot record, a write let go unrecorded) shown in the
// message pane once the command has said what it did, never as a box of their own.

#include <string>
#include <vector>

#include "CHistoryRun.h"
#include "IOperatorMessages.h"
#include "WindowContext.h"

class CChannelView;
class IPassObserver;
struct ActionResult;

class CWindowRun final : public IOperatorMessages {
public:
    // `command`: the menu item's name, "Verify All".
    CWindowRun(const WindowContext& context, CChannelView& view, std::string command);

    CHistoryRun& History() { return m_run; }
    // The observer to give the scan, pass or action.
    IPassObserver& Observer() { return m_observer; }

    // The end of a scan or pass: cancelled (how far it got), failed (`ok` false), else,
    // for a verify pass, "not good" when a card of `judged` is not Good.
    void EndPass(bool ok, const std::vector<int>& judged = {});
    // The end of a card action, by its outcome; a cancelled one says how far it got
    // by `cancelled`, else by its summary (a restore's bytes).
    void EndAction(const ActionResult& result, const std::string& cancelled = {});
    // A run that did nothing to the bus worth its name ("refused", "failed").
    void End(const std::string& outcome);

    void ShowMessage(const std::string& text, MessageIcon icon) override;

private:
    WindowContext m_context;
    CChannelView& m_view;
    std::vector<std::string> m_notes;
    CHistoryRun m_run;
    IPassObserver& m_observer;
};
