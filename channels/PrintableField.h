#pragma once
// A text field of a channel record as the report and the dump print it: the bytes
// up to its first zero byte and never past its end, each byte outside printable
// ASCII shown as '?'. Serial and model come from the card; no byte of theirs may
// break a line or shift a column.

#include <cstddef>
#include <string>

std::string PrintableField(const char* field, std::size_t size);

template <std::size_t N> std::string PrintableField(const char (&field)[N])
{
    return PrintableField(field, N);
}
