#include "tests/windows/update/TestSigning.h"

#include "tests/windows/support/TestPaths.h"

#include <gtest/gtest.h>
#include <wincrypt.h>

namespace kelvane::test {

namespace {

std::string readText(const std::string& path) {
    const std::string text = fileBytes(path);
    return text.substr(0, text.find_first_of("\r\n"));
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

[[maybe_unused]] const ::testing::Environment* const testRoot =
    ::testing::AddGlobalTestEnvironment(new TrustedTestRoot);

} // namespace

std::string signingFile(const std::string& name) {
    return binaryFolder() + "test-signing\\" + name;
}

std::vector<PinnedCertificate> testPublishers() {
    return {{"CN=Kelvane Test Publisher, O=Trevolt Test, C=SE",
             readText(signingFile("publisher.sha256.txt"))},
            {"CN=Kelvane Revoked Publisher, O=Trevolt Test, C=SE",
             readText(signingFile("revoked.sha1.txt"))},
            {"CN=Kelvane Untrusted Publisher, O=Trevolt Test, C=SE",
             readText(signingFile("untrusted.sha256.txt"))}};
}

} // namespace kelvane::test
