// The number rule of the EEPROM byte fields.

#include <gtest/gtest.h>

#include <cstdint>
#include <string_view>

#include "ParseNumber.h"

namespace {

struct Case {
    std::string_view text;
    std::uint32_t expected;
};

constexpr Case kCases[] = {
    {"", 0},
    {"   ", 0},
    {"abc", 0},
    {"16", 16},
    {"0x10", 16},
    {"0X10", 16},
    {"020", 16},
    {"0", 0},
    {"09", 0},
    {"08", 0},
    {"0777", 0777},
    {"0x1F0 ", 0x1F0},
    {"0x1F0g", 0x1F0},
    {"0x1f0;", 0x1F0},
    {"0xabCD", 0xABCD},
    {"0x", 0},
    {"0xg", 0},
    {"-0x", 0},
    {"12abc", 12},
    {"1 2", 1},
    {" \t\n\v\f\r42", 42},
    {"\x1c" "42", 0},      // not in the white-space set
    {"+7", 7},
    {"-1", 0xFFFFFFFFu},
    {"-0x10", 0xFFFFFFF0u},
    {"- 1", 0},
    {"+-1", 0},
    {"--1", 0},
    {"4294967295", 0xFFFFFFFFu},
    {"4294967296", 0xFFFFFFFFu},
    {"99999999999999999999999999", 0xFFFFFFFFu},
    {"0xFFFFFFFF", 0xFFFFFFFFu},
    {"0x100000000", 0xFFFFFFFFu},
    {"-4294967296", 1},
    {"0x1FF", 0x1FF},
    {"256", 256},
};

} // namespace

TEST(ParseNumber, FollowsTheNumberRule)
{
    for (const Case& c : kCases)
        EXPECT_EQ(ParseNumber(c.text), c.expected) << '"' << c.text << '"';
}

TEST(ParseNumber, StopsAtTheEndOfTheView)
{
    // A view into a longer buffer: the digits after its end are not read.
    const std::string_view text = std::string_view("12345").substr(0, 2);
    EXPECT_EQ(ParseNumber(text), 12u);
    EXPECT_EQ(ParseNumber(std::string_view("0x1F", 3)), 1u);
}
