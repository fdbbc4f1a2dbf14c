#include "VerifyAll.h"

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

bool VerifyAllChannels(CInstrument& instrument, ChannelTable& channels, IChannelRows& rows, IPassObserver& observer,
                       CPassCancel* cancel)
{
    CPassGuard pass(observer, PassKind::Verify);

    if (!instrument.IsListener()) {
        instrument.ShowError();
        return false;
    }

    const int total = CountPresentChannels(channels);
    int done = 0;
    // One buffer for every card; only a completely read image is judged.
    EepromImage image{};
    bool stopped = false;

    for (int channel : PresentChannels(channels)) {
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
        if (read) {
            info.CheckImage(image);
            if (!info.IsExemptModel() && info.m_nStatus == StatusGood)
                info.GainSelfTest(instrument);
        }

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
