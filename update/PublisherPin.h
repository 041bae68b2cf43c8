#pragma once
// The publisher certificates a downloaded setup must be signed with. A valid
// signature only says who signed; anybody can buy a code-signing
// certificate, so the signer must also be one we name here.
#include <string>
#include <vector>

namespace kelvane {

struct PinnedCertificate {
    // The subject as the platform writes it, most specific part first, in
    // UTF-8: "CN=Trevolt AB, O=Trevolt AB, C=SE".
    std::string subject;
    // The SHA-256 (64 hex digits) or SHA-1 (40) thumbprint of the
    // certificate; letter case, blanks and colons do not matter.
    std::string thumbprint;
};

// What the platform found about the certificate that signed a setup.
struct SignerCertificate {
    std::string subject; // in the same form
    std::string sha1;   // hex digits
    std::string sha256; // hex digits
};

// True when one entry names the signer by its subject and one of its
// thumbprints. An entry whose thumbprint is neither 40 nor 64 hex digits
// matches nothing.
bool isPinned(const SignerCertificate& signer, const std::vector<PinnedCertificate>& pins);

} // namespace kelvane
