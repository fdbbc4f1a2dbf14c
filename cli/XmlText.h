#pragma once
// Card texts are whatever bytes the mainframe sent. XmlText makes any bytes safe as
// XML 1.0 attribute value or element text: markup characters become references,
// well-formed UTF-8 stays, and every byte or character that XML 1.0 forbids
// (control characters, stray bytes above 0x7F, surrogates, U+FFFE, U+FFFF)
// becomes U+FFFD, as in the JSON output.

#include <string>
#include <string_view>

std::string XmlText(std::string_view bytes);
