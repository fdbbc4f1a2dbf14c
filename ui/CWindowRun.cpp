#include "CWindowRun.h"

#include <algorithm>

#include "CChannelView.h"
#include "CardAction.h"
#include "ValdinaVersion.h"

CWindowRun::CWindowRun(const WindowContext& context, CChannelView& view, std::string command)
    : m_context(context),
      m_view(view),
      m_run(&context.history, context.instrument, "valdina " VALDINA_VERSION, std::move(command), *this),
      m_observer(m_run.Watch(view))
{
}

void CWindowRun::EndPass(bool ok, const std::vector<int>& judged)
{
    const std::string cancelled = m_view.CancelSummary();
    if (!cancelled.empty())
        return End(RunOutcomeText(ActionOutcome::Cancelled, cancelled));
    if (!ok)
        return End(RunOutcomeText(ActionOutcome::Failed));
    const bool allGood = std::ranges::all_of(judged, [this](int channel) {
        const CChannelInfo& card = m_context.channels[static_cast<std::size_t>(channel)];
        return card.m_nStatus == StatusNotPresent || card.m_nStatus == StatusGood;
    });
    End(RunOutcomeText(allGood ? ActionOutcome::Done : ActionOutcome::NotGood));
}

void CWindowRun::EndAction(const ActionResult& result, const std::string& cancelled)
{
    End(RunOutcomeText(result.outcome, cancelled.empty() ? result.summary : cancelled));
}

void CWindowRun::End(const std::string& outcome)
{
    m_run.End(outcome, m_context.channels);
    std::string notes;
    for (const std::string& note : m_notes)
        notes += (notes.empty() ? "" : "  ") + note;
    m_notes.clear();
    if (!notes.empty())
        m_view.AddToMessagePane(QString::fromLocal8Bit(notes));
}

void CWindowRun::ShowMessage(const std::string& text, MessageIcon)
{
    m_notes.push_back(text);
}
