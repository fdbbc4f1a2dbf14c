#include "VerifyAll.h"

#include <algorithm>

#include "CInstrument.h"
#include "CPassGuard.h"
#include "ChannelColumns.h"
#include "IChannelRows.h"
#include "PresentChannels.h"

void ShowCardVerdict(IChannelRows& rows, int row, const CChannelInfo& info)
{
    rows.SetRowText(row, kColumnStatus, info.StatusText());
    rows.SetRowText(row, kColumnError, info.m_strError);
    rows.SetRowImage(row, info.m_nStatus);
}

std::int32_t JudgeCard(CInstrument& instrument, CChannelInfo& info, const EepromImage& image)
{
    info.CheckImage(image);
    if (!info.IsExemptModel() && info.m_nStatus == StatusGood)
        info.GainSelfTest(instrument);
    return info.m_nStatus;
}

bool VerifyAllChannels(CInstrument& instrument, ChannelTable& channels, IChannelRows& rows, IPassObserver& observer,
                       CPassCancel* cancel)
{
    return VerifyChannels(instrument, channels, PresentChannels(channels), rows, observer, cancel);
}

bool VerifyChannels(CInstrument& instrument, ChannelTable& channels, const std::vector<int>& which,
                    IChannelRows& rows, IPassObserver& observer, CPassCancel* cancel)
{
    CPassGuard pass(observer, PassKind::Verify);

    if (!instrument.IsListener()) {
        instrument.ShowError();
        return false;
    }

    std::vector<int> cards;
    for (int channel : PresentChannels(channels)) {
        if (std::find(which.begin(), which.end(), channel) != which.end())
            cards.push_back(channel);
    }
    const int total = static_cast<int>(cards.size());
    int done = 0;
    // One buffer for every card; only a completely read image is judged.
    EepromImage image{};
    bool stopped = false;

    for (int channel : cards) {
        CChannelInfo& info = channels[static_cast<std::size_t>(channel)];
        stopped = CPassGuard::StopHere(cancel, done, total);
        if (stopped)
            break;
        ++done;
        const int row = rows.FindChannelRow(channel);
        if (!instrument.Select(channel)) {
            instrument.ShowError();
            pass.ChannelDone(done, total, channel, info.m_nStatus);
            continue;
        }

        info.m_nStatus = StatusReading;
        rows.SetRowText(row, kColumnStatus, info.StatusText());
        rows.SetRowImage(row, StatusReading);
        pass.CardStarted(done, total, channel);

        const bool read = instrument.ReadEepromImage(channel, image) != 0;
        if (read)
            JudgeCard(instrument, info, image);

        ShowCardVerdict(rows, row, info);
        if (!read)
            instrument.ShowError();
        pass.ChannelDone(done, total, channel, info.m_nStatus);
    }
    // A cancel during the last card is still noted, so the front end reports it.
    if (!stopped)
        CPassGuard::StopHere(cancel, done, total);
    return true;
}
