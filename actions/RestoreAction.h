#pragma once

#include <string>

#include "CardAction.h"

// Restores the image file at `path` into the card at `channel`: the file loaded and
// checked, the card's identity read again (a card swapped since the scan replaces
// the table's record and must be confirmed), the refusals said or confirmed, then
// RestoreEepromImage. Nothing is written before every check has passed.
ActionResult RestoreCardImage(const CardActionFront& front, int channel, const std::string& path);
