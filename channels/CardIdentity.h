#pragma once
// Who a card is: its serial and model, read with the scan's own commands, and what
// the scan makes of them. The scan reads them for every card; a restore and a save
// read them again right before they act, since the card in the slot may have been
// swapped since.

#include <cstdint>
#include <string>
#include <string_view>

class CChannelInfo;
class CInstrument;
class IChannelRows;

// The one serial that fails a card at the scan: cards leave the factory with it when
// their identity was never programmed.
bool IsFailingSerial(std::string_view serial);
// The state the scan gives a card of that serial: unknown until verified, or Fail.
std::int32_t ScannedStatus(std::string_view serial);

// Select, QuerySN, QueryModel into the two fields (cleared first). A model that the
// card does not tell is left empty, as in the scan. False when Select or QuerySN
// failed; the connection holds why.
bool ReadCardIdentity(CInstrument& instrument, int channel, char (&serial)[16], char (&model)[16]);

struct IdentityCheck {
    bool read = false;        // false: the bus failed; the connection holds why
    bool swapped = false;     // the card is another one than the table's record said
    std::string oldSerial;    // the record's serial before
};

// Reads `card`'s identity again. When it differs from the record, the record and its
// row become those of the card now present, with the state the scan would give it:
// whatever was known of the card before belongs to another card. A record the scan
// never completed (no serial) is filled in without counting as a swap.
IdentityCheck RecheckCardIdentity(CInstrument& instrument, CChannelInfo& card, int channel, IChannelRows& rows);
// "Channel 5 now holds serial 99999999, not 21000005 as the last scan found."
std::string SwappedCardText(int channel, const IdentityCheck& check, std::string_view serial);
