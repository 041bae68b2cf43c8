// Only a signed setup may run: our own unsigned programs and files that are
// no programs at all must be refused.
#include "update/win/SignatureCheck.h"
#include "tests/windows/support/TestPaths.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace kelvane;

TEST(SignatureCheckTest, UnsignedAndBogusFilesAreRefused) {
    EXPECT_FALSE(hasValidSignature(test::programPath("kelvane.exe")));
    EXPECT_FALSE(hasValidSignature(test::binaryFolder() + "no-such-setup.exe"));
    std::string fake = test::binaryFolder() + "fake-setup.exe";
    std::ofstream(fake, std::ios::binary) << "MZ this is no program";
    EXPECT_FALSE(hasValidSignature(fake));
    std::remove(fake.c_str());
}
