#include "export/AnsiText.h"

#include <windows.h>

namespace kelvane {

std::u16string ansiToUtf16(std::string_view text) {
    if (text.empty()) {
        return {};
    }
    int length =
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::u16string wide(length > 0 ? length : 0, u'\0');
    if (length > 0) {
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                            reinterpret_cast<wchar_t*>(wide.data()), length);
    }
    return wide;
}

} // namespace kelvane
