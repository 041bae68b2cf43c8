#pragma once
// Texts between the program (ANSI) and the file (UTF-8 with XML escapes).
#include <string>
#include <string_view>

namespace kelvane {

// ANSI text to file text: escaped and converted to UTF-8, or, as CDATA,
// converted and wrapped in a CDATA section.
std::string encodeXmlText(std::string_view text, bool asCdata = false);

// The same, appended to out (the writer's way: no temporary string for the
// common short text).
void appendXmlText(std::string& out, std::string_view text, bool asCdata = false);

// File text to ANSI text: converted from UTF-8, then the five named entities
// and CDATA sections resolved; other references stay as they are.
std::string decodeXmlText(std::string_view text);

} // namespace kelvane
