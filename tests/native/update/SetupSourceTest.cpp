// Which addresses a setup is fetched from, and under which name it is stored.
#include "update/SetupSource.h"

#include <gtest/gtest.h>

using namespace kelvane;

TEST(SetupSourceTest, OnlyAnHttpsSetupNameThatIsNoDevice) {
    const struct {
        const char* address;
        const char* name;
    } cases[] = {
        {"https://host/downloads/kelvane-setup.exe", "kelvane-setup.exe"},
        {"HTTPS://host/Kelvane.MSI", "Kelvane.MSI"},
        {"https://host/kelvane%204.7.exe?from=pad#top", "kelvane%204.7.exe"},
        {"https://host/get?file=/setup.exe", ""}, // the name is in the query
        {"http://host/kelvane-setup.exe", ""},    // plain http
        {"https://host", ""},
        {"https://host/x.dll", ""},
        {"https://host/setup.exe.", ""},
        {"https://host/.exe", ""},
        {"https://host/nul .msi", ""},
        {"https://host/LPT9.exe", ""},
        {"https://host/CON.tar.exe", ""},
        {"https://host/conout$.exe", ""},
        {"https://host/COM\xB9.exe", ""},
        {"https://host/a\\..\\..\\Windows\\evil.exe", ""},
        {"https://host/C:evil.exe", ""},
        {"https://host/..", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(setupFileNameFor(c.address), c.name) << c.address;
    }
    EXPECT_EQ(setupFileNameFor(std::string_view("https://host/set\nup.exe")), "");
    EXPECT_EQ(setupFileNameFor("https://host/COM10.exe"), "COM10.exe") << "no device";
}
