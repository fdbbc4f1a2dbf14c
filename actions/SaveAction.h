#pragma once

#include <string>

#include "CardAction.h"

// Saves the card at `channel` into `path` and its record: files it would replace
// confirmed first, then the card's identity read again, so the record holds the
// serial and model of the card the bytes come from.
ActionResult SaveCardImageAs(const CardActionFront& front, int channel, const std::string& path);
// Saves every card the last scan found into `folder`, named by ImageFileName after
// each card's identity is read again; files it would replace are confirmed once for
// the folder. A card that cannot be read costs its message and the next is saved; the
// first file that cannot be written ends the run. A cancel stops before the next card.
// The summary lists "channel N: PATH" per card saved.
ActionResult SaveAllCardImagesInto(const CardActionFront& front, const std::string& folder);
