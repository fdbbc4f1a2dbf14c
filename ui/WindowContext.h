#pragma once
// What the windows work with: the connection, the channel table, the command gate
// and where operator messages go. The application object owns them and gives each
// window the parts it uses when the window is made.

#include "ChannelTable.h"

class CCommandGate;
class CInstrument;
class IOperatorMessages;

struct WindowContext {
    CInstrument& instrument;
    ChannelTable& channels;
    CCommandGate& commands;
    IOperatorMessages& messages;
};
