#pragma once

#include "ChannelTable.h"

class CInstrument;
class IChannelRows;
class CPassCancel;
class IPassObserver;

// Finds the installed cards, fills the table and lists every card up to the first
// failure. Returns true when every operation that counts succeeded. A `cancel`
// request stops it before the next card as a failure would, with no message.
bool ScanChannels(CInstrument& instrument, ChannelTable& channels, IChannelRows& rows, IPassObserver& observer,
                  CPassCancel* cancel = nullptr);
