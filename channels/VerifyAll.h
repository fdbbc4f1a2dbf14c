#pragma once

#include <vector>

#include "ChannelTable.h"
#include "EepromImage.h"

class CInstrument;
class IChannelRows;
class CPassCancel;
class IPassObserver;

// The one judgement of a card, for the verify pass and the end of a restore alike:
// the image's block checks, then, for a good card of a model that is not exempt, the
// gain self-test on the card, which must be the selected one. Sets the card's state
// and error text and returns the state.
std::int32_t JudgeCard(CInstrument& instrument, CChannelInfo& info, const EepromImage& image);

// Reads, checks and self-tests every card that the last scan found, card by card
// in channel order, writing each verdict into its record and its row. Returns false
// only when the mainframe did not answer at the start, so nothing was verified.
// A `cancel` request stops it before the next card; later cards keep state and row.
bool VerifyAllChannels(CInstrument& instrument, ChannelTable& channels, IChannelRows& rows, IPassObserver& observer,
                       CPassCancel* cancel = nullptr);
// The same pass over the cards at `which` alone (present ones, in increasing channel).
bool VerifyChannels(CInstrument& instrument, ChannelTable& channels, const std::vector<int>& which,
                    IChannelRows& rows, IPassObserver& observer, CPassCancel* cancel = nullptr);

// A card's verdict (state text, error text, lamp) into its row, as the pass leaves it.
void ShowCardVerdict(IChannelRows& rows, int row, const CChannelInfo& info);
