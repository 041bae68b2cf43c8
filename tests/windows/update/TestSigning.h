#pragma once
// The signatures the build made for the update tests (make_signed_setups.sh)
// and the trust they need: the test root is trusted in the test prefix's
// user store while the update tests run (from before the first test, so the
// chain engine of the process sees it), and the test publishers are pinned
// through a list of the tests' own.
#include "tests/windows/support/TestPaths.h"
#include "update/PublisherPin.h"

#include <gtest/gtest.h>
#include <wincrypt.h>

#include <vector>

namespace kelvane::test {

// bin\test-signing\<name>: "setup-publisher.exe", "server.pem", ...
inline std::string signingFile(const std::string& name) {
    return binaryFolder() + "test-signing\\" + name;
}

// Trusts the test root, in the current user's registry store of trusted
// roots, from before the first test to after the last.
class TrustedTestRoot : public ::testing::Environment {
public:
    void SetUp() override {
        // Wine 8 keeps each revocation check's outcome in this folder, and
        // keeps a revoked certificate's as a good one: the revoked test
        // publisher would pass from the second run on.
        runProcess("cmd.exe /c del /q "
                   "\"%USERPROFILE%\\AppData\\LocalLow\\Microsoft\\CryptnetUrlCache\\Content\\*\"");
        inRootStore(false);
    }
    void TearDown() override { inRootStore(true); }

private:
    // Adds the test root to the store, or finds it there and removes it;
    // closing the store writes the registry.
    static void inRootStore(bool remove) {
        const std::string root = fileBytes(signingFile("root.der"));
        // The registry store of the current user's trusted roots: it takes a
        // certificate without asking (the system store of that name would show a
        // confirmation), and Wine 8's chain engine trusts it, while the machine's
        // root store there is read from the host and takes nothing.
        HCERTSTORE store = CertOpenStore(CERT_STORE_PROV_SYSTEM_REGISTRY_A, 0, 0,
                                         CERT_SYSTEM_STORE_CURRENT_USER, "Root");
        PCCERT_CONTEXT added = nullptr;
        if (store &&
            CertAddEncodedCertificateToStore(
                store, X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(root.data()),
                static_cast<DWORD>(root.size()),
                remove ? CERT_STORE_ADD_USE_EXISTING : CERT_STORE_ADD_REPLACE_EXISTING,
                remove ? &added : nullptr) &&
            added) {
            CertDeleteCertificateFromStore(added); // frees added
        }
        CertCloseStore(store, 0);
    }
};

// One registration for the whole test program, whichever file includes this.
inline const ::testing::Environment* const testRoot =
    ::testing::AddGlobalTestEnvironment(new TrustedTestRoot);

// Pins the test publisher by its SHA-256 thumbprint, and also the revoked
// one (by SHA-1) and the one of an untrusted root, so these two are refused
// only for what their chains say.
inline std::vector<PinnedCertificate> testPublishers() {
    const auto firstLine = [](const std::string& name) {
        const std::string text = fileBytes(signingFile(name));
        return text.substr(0, text.find_first_of("\r\n"));
    };
    return {{"CN=Kelvane Test Publisher, O=Trevolt Test, C=SE", firstLine("publisher.sha256.txt")},
            {"CN=Kelvane Revoked Publisher, O=Trevolt Test, C=SE", firstLine("revoked.sha1.txt")},
            {"CN=Kelvane Untrusted Publisher, O=Trevolt Test, C=SE",
             firstLine("untrusted.sha256.txt")}};
}

} // namespace kelvane::test
