#pragma once
// The one place where the program's 8-bit texts meet the UTF-8 of its files.
// Windows converts with the process's ANSI code page; the native tree uses
// Windows-1252, the code page of the languages the program ships in.
#include <cstdint>
#include <string>
#include <string_view>

namespace kelvane {

// ANSI text to UTF-8.
std::string ansiToUtf8(std::string_view text);

// UTF-8 to ANSI; characters the code page lacks become its default
// character, and malformed sequences do not stop the conversion.
std::string utf8ToAnsi(std::string_view text);

// Appends one Unicode character (up to U+10FFFF) in UTF-8.
void appendUtf8(std::string& out, uint32_t character);

// True when every byte is below 0x80: such a text is the same in both forms.
bool isAscii(std::string_view text);

namespace platform {
// The conversions proper, for texts that are not plain ASCII.
std::string ansiToUtf8(std::string_view text);
std::string utf8ToAnsi(std::string_view text);
} // namespace platform

} // namespace kelvane
