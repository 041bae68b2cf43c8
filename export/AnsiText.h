#pragma once
// The program's 8-bit texts are in the ANSI code page; the workbook holds
// UTF-16. Windows converts with the system's code page; the native tree
// assumes Windows-1252.
#include <string>
#include <string_view>

namespace kelvane {

std::u16string ansiToUtf16(std::string_view text);

} // namespace kelvane
