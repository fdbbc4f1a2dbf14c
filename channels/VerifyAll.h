#pragma once

#include "ChannelTable.h"

class CInstrument;
class IChannelRows;
class CPassCancel;
class IPassObserver;

// Reads, checks and self-tests every card that the last scan found, card by card
// in channel order, writing each verdict into its record and its row. Returns false
// only when the mainframe did not answer at the start, so nothing was verified.
// A `cancel` request stops it before the next card; later cards keep state and row.
bool VerifyAllChannels(CInstrument& instrument, ChannelTable& channels, IChannelRows& rows, IPassObserver& observer,
                       CPassCancel* cancel = nullptr);

// A card's verdict (state text, error text, lamp) into its row, as the pass leaves it.
void ShowCardVerdict(IChannelRows& rows, int row, const CChannelInfo& info);
