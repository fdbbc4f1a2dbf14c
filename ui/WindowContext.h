#pragma once
// What the windows work with: the connection, the channel table, the command gate,
// where operator messages go and the card history. The application object owns them
// and gives each window the parts it uses when the window is made.

#include "ChannelTable.h"

class CCommandGate;
class CInstrument;
class IHistoryStore;
class IOperatorMessages;

struct WindowContext {
    CInstrument& instrument;
    ChannelTable& channels;
    CCommandGate& commands;
    IOperatorMessages& messages;
    // Opened once at the start; one that cannot record says why in each answer.
    IHistoryStore& history;
};
