#pragma once

#include "ChannelTable.h"

class CInstrument;
class IChannelRows;
class IPassObserver;

// Finds the installed cards, fills the table and lists every card up to the first
// failure. Returns true when every operation that counts succeeded.
bool ScanChannels(CInstrument& instrument, ChannelTable& channels, IChannelRows& rows, IPassObserver& observer);
