#include "update/PublisherPin.h"

#include <cctype>

namespace kelvane {

namespace {

// Upper-case hex digits only; empty when anything else than hex digits,
// blanks and colons is there.
std::string hexDigits(const std::string& text) {
    std::string digits;
    for (char c : text) {
        if (std::isxdigit(static_cast<unsigned char>(c))) {
            digits += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        } else if (c != ' ' && c != ':') {
            return {};
        }
    }
    return digits;
}

} // namespace

bool isPinned(const SignerCertificate& signer, const std::vector<PinnedCertificate>& pins) {
    const std::string sha1 = hexDigits(signer.sha1), sha256 = hexDigits(signer.sha256);
    for (const PinnedCertificate& pin : pins) {
        const std::string thumbprint = hexDigits(pin.thumbprint);
        const std::string& own = thumbprint.size() == 40 ? sha1 : sha256;
        if ((thumbprint.size() == 40 || thumbprint.size() == 64) && thumbprint == own &&
            pin.subject == signer.subject) {
            return true;
        }
    }
    return false;
}

} // namespace kelvane
