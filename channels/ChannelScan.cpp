#include "ChannelScan.h"

#include <bit>
#include <cstring>

#include "CInstrument.h"
#include "CPassGuard.h"
#include "CardIdentity.h"
#include "IChannelRows.h"

namespace {

// Word r of the presence map (least significant byte first) belongs to rack r.
std::uint16_t RackWord(const std::uint8_t* presence, int rack)
{
    return static_cast<std::uint16_t>(presence[2 * rack] | (presence[2 * rack + 1] << 8));
}

int CountPresent(const std::uint8_t* presence)
{
    int count = 0;
    for (int rack = 0; rack < kRackCount; ++rack)
        count += std::popcount(RackWord(presence, rack));
    return count;
}

} // namespace

bool ScanChannels(CInstrument& instrument, ChannelTable& channels, IChannelRows& rows, IPassObserver& observer,
                  CPassCancel* cancel)
{
    CPassGuard pass(observer, PassKind::Scan);

    std::uint8_t presence[kPresenceMapSize] = {};
    bool ok = instrument.IsListener() != 0;
    if (ok)
        ok = instrument.QueryPresent(presence) != 0;
    rows.DeleteAllRows();
    if (!ok) {
        instrument.ShowError();
        return false;
    }

    const int total = CountPresent(presence);
    int done = 0;
    bool cancelled = false;
    for (int rack = 0; rack < kRackCount; ++rack) {
        const std::uint16_t word = RackWord(presence, rack);
        for (int slot = 0; slot < kSlotsPerRack; ++slot) {
            const int channel = rack * kSlotsPerRack + slot;
            CChannelInfo& info = channels[static_cast<std::size_t>(channel)];
            info.m_nAddress = channel;
            if ((word & (1u << slot)) == 0) {
                info.m_nStatus = StatusNotPresent;
                continue;
            }

            std::memset(info.m_szSerial, 0, sizeof info.m_szSerial);
            std::memset(info.m_szModel, 0, sizeof info.m_szModel);
            info.m_checkedBlocks = info.m_validBlocks = 0;
            // After the first failure or a cancel the scan stops talking to the
            // mainframe but still records every position from the presence map.
            if (ok && !cancelled)
                cancelled = CPassGuard::StopHere(cancel, done, total);
            if (ok && !cancelled) {
                pass.CardStarted(done + 1, total, channel);
                ok = ReadCardIdentity(instrument, channel, info.m_szSerial, info.m_szModel);
            }

            info.m_nStatus = ScannedStatus(info.Serial());
            if (cancelled)
                continue;
            if (ok)
                rows.AddChannelRow(info, rack, slot);
            pass.ChannelDone(++done, total, channel, info.m_nStatus);
        }
    }

    // A cancel during the last card counts as well: the caller must not go on to
    // what follows a finished scan.
    if (ok && !cancelled)
        cancelled = CPassGuard::StopHere(cancel, done, total);
    if (!ok)
        instrument.ShowError();
    return ok && !cancelled;
}
