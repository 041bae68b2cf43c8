#include "inventory/HostName.h"

#include <algorithm>
#include <cctype>

namespace kelvane {

bool sameHostName(const std::string& a, const std::string& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}

bool isLocalHost(const std::string& host, const std::string& localName) {
    return sameHostName(host, localName) || sameHostName(host, "localhost") || host == ".";
}

} // namespace kelvane
