#include "inventory/HostName.h"

#include <algorithm>
#include <cctype>

namespace kelvane {

namespace {

bool equalIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}

} // namespace

bool isLocalHost(const std::string& host, const std::string& localName) {
    return equalIgnoringCase(host, localName) || equalIgnoringCase(host, "localhost") ||
           host == ".";
}

} // namespace kelvane
