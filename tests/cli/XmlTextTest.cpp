// Card bytes that XML 1.0 cannot hold, through the escaping writer and a strict parser.

#include <gtest/gtest.h>

#include <string>

#include "XmlDocument.h"
#include "XmlText.h"

namespace {

const std::string kReplacement = "\xEF\xBF\xBD";

std::string ParsedBack(const std::string& bytes)
{
    const std::string escaped = XmlText(bytes);
    const XmlDocument xml("<a x=\"" + escaped + "\">" + escaped + "</a>");
    EXPECT_TRUE(xml.ok()) << xml.error();
    EXPECT_EQ(xml.text("/a/@x"), xml.text("/a"));
    return xml.text("/a");
}

TEST(XmlText, WhatXmlCanHoldStaysAndTheRestBecomesReplacements)
{
    const std::string text = "a<b>&c\"d'e]]>\tf\r\ng \xC3\xA9\xE2\x82\xAC\xF0\x9D\x84\x9E";
    EXPECT_EQ(ParsedBack(text), text);
    // Control bytes, a stray continuation, Latin-1, an overlong slash, a surrogate,
    // U+FFFE, a code point above U+10FFFF, a cut-off sequence at the end.
    EXPECT_EQ(ParsedBack(std::string("\x00\x01\x1F\x7F", 4)), kReplacement + kReplacement + kReplacement + "\x7F");
    EXPECT_EQ(ParsedBack("\x80\xE9"), kReplacement + kReplacement);
    EXPECT_EQ(ParsedBack("\xC0\xAF"), kReplacement + kReplacement);
    EXPECT_EQ(ParsedBack("\xED\xA0\x80"), kReplacement);
    EXPECT_EQ(ParsedBack("\xEF\xBF\xBE"), kReplacement);
    EXPECT_EQ(ParsedBack("\xF4\x90\x80\x80"), kReplacement);
    EXPECT_EQ(ParsedBack("ok\xE2\x82"), "ok" + kReplacement + kReplacement);
}

} // namespace
