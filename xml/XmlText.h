#pragma once
// Texts between the program (ANSI) and the file (UTF-8 with XML escapes).
#include <string>
#include <string_view>

namespace kelvane {

// ANSI text to file text: escaped and converted to UTF-8, or, as CDATA,
// converted and wrapped in a CDATA section. Bytes below 0x20 take forms that
// every XML reader accepts (see XmlText.cpp).
std::string encodeXmlText(std::string_view text, bool asCdata = false);

// The same, appended to out (the writer's way: no temporary string for the
// common short text).
void appendXmlText(std::string& out, std::string_view text, bool asCdata = false);

// File text to ANSI text: the five named entities, numeric character
// references, the escaped control bytes and CDATA sections resolved, then
// converted from UTF-8; anything else that starts with "&" stays as it is.
std::string decodeXmlText(std::string_view text);
// The same into out, whose room is reused (the reader's way: no allocation
// per value).
void decodeXmlText(std::string_view text, std::string& out);

} // namespace kelvane
