#pragma once

#include <cstdint>

#include "CardAction.h"

// Writes one EEPROM byte of the card at `channel`, from the window's Poke dialog or
// valdina-cli poke: the card's identity and the byte there read first (the history
// records who and what was overwritten), the write recorded before it goes out, the
// byte read back. Done: the summary names the byte before and after. A byte that
// reads back otherwise, or a bus failure, is Failed with the address named.
ActionResult PokeCardByte(const CardActionFront& front, int channel, std::uint16_t address, std::uint8_t byte);
