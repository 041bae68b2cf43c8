// Whether the certificate that signed a setup is one the program pins.
#include "update/PublisherPin.h"

#include <gtest/gtest.h>

using namespace kelvane;

TEST(PublisherPinTest, SubjectAndOneThumbprintMustMatch) {
    const std::string subject = "CN=Trevolt AB, O=Trevolt AB, C=SE";
    const std::string sha1 = "54D82ECA1EFC9E43619A8720F374CA64DF138A49";
    const std::string sha256 = "09E76AED57E2F6C29D36022D6D6B7FCF5D254083AB569E4385BA9122A47B80D4";
    const SignerCertificate signer{subject, sha1, sha256};
    const struct {
        PinnedCertificate pin;
        bool pinned;
    } cases[] = {
        {{subject, sha256}, true},
        {{subject, sha1}, true},
        {{subject, "09:e7:6a:ed:57:e2:f6:c2:9d:36:02:2d:6d:6b:7f:cf:5d:25:40:83:ab:56:9e:43:85:ba:"
                   "91:22:a4:7b:80:d4"},
         true},
        {{subject, "54d8 2eca 1efc 9e43 619a 8720 f374 ca64 df13 8a49"}, true},
        {{"CN=Trevolt AB", sha256}, false},                     // the subject differs
        {{subject, sha256.substr(0, 40)}, false},               // a SHA-256 cut to SHA-1 length
        {{subject, sha1 + "0000000000000000000000000"}, false}, // neither length
        {{subject, sha256.substr(0, 63) + "G"}, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(isPinned(signer, {c.pin}), c.pinned) << c.pin.subject << " " << c.pin.thumbprint;
    }
    EXPECT_TRUE(isPinned(signer, {{"CN=Old", sha256}, {subject, sha1}})) << "any entry of the list";
}
