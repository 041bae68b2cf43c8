#pragma once
// Whether a downloaded setup comes from our publisher. The setup runs with
// our rights, often an administrator's, so it must carry an Authenticode
// signature that matches the file, chain to a trusted root without a revoked
// certificate on the way, and be signed with a certificate we pin.
#include "update/PublisherPin.h"

#include <windows.h>

#include <string>
#include <vector>

namespace kelvane {

struct SetupSignature {
    enum class Verdict {
        Trusted,
        Invalid,     // unsigned, altered, untrusted, revoked or not checkable
        OtherSigner, // a sound signature, but not by a pinned certificate
    };
    Verdict verdict = Verdict::Invalid;
    std::string signerName; // the signer's common name, for OtherSigner
};

// file: the setup, open for reading; path: its name, for the platform's
// choice of how to read the signature.
SetupSignature checkSetupSignature(HANDLE file, const std::string& path,
                                   const std::vector<PinnedCertificate>& publishers);

} // namespace kelvane
