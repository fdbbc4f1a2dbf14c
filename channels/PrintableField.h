#pragma once
// A text field of a channel record (its Serial or Model) as the report and the dump
// print it: each byte outside printable ASCII shown as '?'. Serial and model come from the card; no byte of theirs may
// break a line or shift a column.

#include <string>
#include <string_view>

std::string PrintableField(std::string_view field);
