#pragma once
// The signatures the build made for the update tests (make_signed_setups.sh)
// and the trust they need: the test root is trusted in the test prefix's
// user store while the update tests run (from before the first test, so the
// chain engine of the process sees it), and the test publishers are pinned
// through a list of the tests' own.
#include "update/PublisherPin.h"

#include <string>
#include <vector>

namespace kelvane::test {

// bin\test-signing\<name>: "setup-publisher.exe", "server.pem", ...
std::string signingFile(const std::string& name);

// Pins the test publisher by its SHA-256 thumbprint, and also the revoked
// one (by SHA-1) and the one of an untrusted root, so these two are refused
// only for what their chains say.
std::vector<PinnedCertificate> testPublishers();

} // namespace kelvane::test
