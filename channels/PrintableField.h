#pragma once
// A text field of a channel record (its Serial or Model) as the report and the dump
// print it: each byte outside printable ASCII shown as '?'. Serial and model come from the card; no byte of theirs may
// break a line or shift a column.

#include <string>
#include <string_view>

std::string PrintableField(std::string_view field);
// Whether every byte of `text` is printable ASCII (0x20 to 0x7E), the rule above.
bool IsPrintableAscii(std::string_view text);
