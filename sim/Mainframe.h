#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "Card.h"
#include "Command.h"
#include "Scenario.h"

namespace zsim {

// What the mainframe does behind one command: the reply it offers and the
// error code it reports in its status byte.
struct Response {
    std::optional<std::vector<std::uint8_t>> reply;
    std::uint8_t errorCode = 0;
};

// Error codes of the status byte (low six bits).
inline constexpr std::uint8_t kErrSyntax = 0x01;   // unknown or malformed command
inline constexpr std::uint8_t kErrNoCard = 0x02;   // empty slot selected, or frame for an absent card
inline constexpr std::uint8_t kErrWriteProtected = 0x03;   // EEPROM write to a write-protected card

// The mainframe's command interpreter and its cards; knows nothing of the bus.
class Mainframe {
public:
    explicit Mainframe(std::array<std::optional<Card>, kChannels> cards);

    Response execute(const Command& cmd);
    int selectedChannel() const { return m_selected; }
    const std::optional<Card>& card(int channel) const { return m_cards[channel]; }
    // Another card in the slot of `channel`, as an operator swaps one: a new serial and,
    // unless empty, model; the EEPROM comes with it unchanged. An empty slot stays empty.
    void swapCard(int channel, const std::string& serial, const std::string& model);
    // Every bit of one EEPROM cell inverted, as a cell that loses its charge after a
    // good read. An empty slot, or an address beyond the part, is left as it is.
    void flipEepromByte(int channel, unsigned address);

private:
    Response presence() const;
    Response eepromRead(const Command& cmd, int length) const;
    Response eepromWrite(const Command& cmd);
    Card* selectedCard();

    std::array<std::optional<Card>, kChannels> m_cards;
    int m_selected = -1;
};

}  // namespace zsim
