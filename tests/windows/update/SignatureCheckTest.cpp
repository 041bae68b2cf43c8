// Only our publisher's setup may run. The build signed one small program in
// every way that matters (make_signed_setups.sh); Wine's own WinVerifyTrust,
// chain engine and revocation fetch judge them, with the test root trusted
// in the test prefix and the test publishers pinned.
#include "update/win/SignatureCheck.h"
#include "framework/win/UniqueHandle.h"
#include "tests/windows/update/TestSigning.h"

#include <gtest/gtest.h>

using namespace kelvane;
using namespace kelvane::test;
using Verdict = SetupSignature::Verdict;

TEST(SignatureCheckTest, OnlyASoundSignatureByAPinnedPublisherIsTrusted) {
    const struct {
        const char* file;
        Verdict verdict;
        const char* why;
    } cases[] = {
        {"setup-publisher.exe", Verdict::Trusted, "pinned by its SHA-256 thumbprint"},
        {"setup-stranger.exe", Verdict::OtherSigner, "a sound signature, by somebody else"},
        {"setup-revoked.exe", Verdict::Invalid, "pinned by SHA-1, but its certificate is revoked"},
        {"setup-untrusted.exe", Verdict::Invalid, "pinned, but its root is trusted nowhere"},
        {"setup-tampered.exe", Verdict::Invalid, "changed after signing"},
        {"setup-unsigned.exe", Verdict::Invalid, "no signature"},
    };
    for (const auto& c : cases) {
        const std::string path = signingFile(c.file);
        Plinth::UniqueFileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ,
                                                  nullptr, OPEN_EXISTING, 0, nullptr));
        const SetupSignature signature = checkSetupSignature(file.get(), path, testPublishers());
        EXPECT_EQ(signature.verdict, c.verdict) << c.file << ": " << c.why;
        EXPECT_EQ(signature.signerName == "Someone Else", c.verdict == Verdict::OtherSigner)
            << c.file;
    }
}
