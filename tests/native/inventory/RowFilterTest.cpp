#include "inventory/RowFilter.h"
#include "inventory/WildcardMatch.h"

#include <gtest/gtest.h>

using namespace kelvane;

TEST(WildcardMatchTest, Rules) {
    struct Case {
        const char* text;
        const char* pattern;
        bool matches;
    } cases[] = {
        {"", "", true},
        {"", "*", true},
        {"", "?", false},
        {"abc", "", false},
        {"Spooler", "spooler", true},
        {"spooler", "SPOOL*", true},
        {"spooler", "*OOL*", true},
        {"spooler", "sp?oler", true},
        {"spooler", "s?ooler*", true},
        {"spooler", "spooler?", false},
        {"spooler", "spoo", false},
        {"ab", "a?b", false},
        {"axb", "a?b", true},
        {"axxb", "a?b", false},
        {"abcabd", "*ab?", true},
        {"mississippi", "*sip*", true},
        {"mississippi", "m**i***i", true},
        {"\xC4nderung", "\xC4*", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(wildcardMatch(c.text, c.pattern), c.matches) << c.text << " ~ " << c.pattern;
    }
}

TEST(WildcardMatchTest, ManyStarsOnALongTextFinishQuickly) {
    // Exponential with naive recursion; must come back at once.
    const std::string text(5000, 'a');
    EXPECT_FALSE(wildcardMatch(text, "*a*a*a*a*a*a*a*a*a*a*b"));
    EXPECT_TRUE(wildcardMatch(text + "b", "*a*a*a*a*a*a*a*a*a*a*b"));
}

namespace {

class RowFilterTest : public ::testing::Test {
protected:
    RowFilterTest() {
        entry.serviceName = SharedText("spooler");
        entry.displayName = SharedText("Print Spooler");
        entry.statusText = SharedText("started");
        entry.typeText = SharedText("own process");
        entry.binaryPath = SharedText("C:\\Windows\\System32\\spoolsv.exe");
        entry.type = 0x10;
        entry.active = 1;
    }

    bool passes(const FileDetails* details = nullptr) const {
        return passesFilter(entry, settings, details);
    }

    ServiceEntry entry;
    FilterSettings settings;
};

} // namespace

TEST_F(RowFilterTest, TypeMaskFromControls) {
    EXPECT_EQ(typeMaskFor(true, 2, false, 2), 0x30u);
    EXPECT_EQ(typeMaskFor(true, 0, true, 1), 0x12u);
    EXPECT_EQ(typeMaskFor(false, 2, true, 2), 0x0Bu);
    EXPECT_EQ(typeMaskFor(false, 2, false, 2), 0u);
    EXPECT_EQ(typeMaskFor(true, -1, true, 3), 0u); // no item selected
    EXPECT_EQ(activeMaskFor(true, false), 1u);
    EXPECT_EQ(activeMaskFor(false, false), 0u);
}

TEST_F(RowFilterTest, TypeAndStateFilters) {
    EXPECT_TRUE(passes());
    settings.typeMask = typeMaskFor(false, 2, false, 2);
    EXPECT_FALSE(passes());

    entry.type = 0x08; // recognizer driver
    settings.typeMask = typeAllDrivers;
    EXPECT_TRUE(passes());
    settings.typeMask = typeKernelDrivers;
    EXPECT_FALSE(passes());
    entry.type = 0x04; // adapter
    settings.typeMask = typeAllDrivers | typeAllServices;
    EXPECT_FALSE(passes());

    entry.type = 0x20;
    settings.activeMask = activeMaskFor(false, true);
    EXPECT_FALSE(passes());
    entry.active = 2;
    EXPECT_TRUE(passes());
    settings.activeMask = activeMaskFor(false, false);
    EXPECT_FALSE(passes());
}

TEST_F(RowFilterTest, MicrosoftFilterNeedsKnownMaker) {
    settings.showMicrosoft = false;
    FileDetails details;
    EXPECT_TRUE(passes(nullptr));
    EXPECT_TRUE(passes(&details)); // no version resource
    details.manufacturer = "Microsoft Corporation";
    EXPECT_FALSE(passes(&details));
    details.manufacturer = "microsoft corporation";
    EXPECT_TRUE(passes(&details));
    settings.showMicrosoft = true;
    details.manufacturer = "Microsoft Corporation";
    EXPECT_TRUE(passes(&details));
}

TEST_F(RowFilterTest, SearchLooksAtNamedFieldsOnly) {
    settings.searchText = "SPOOL";
    EXPECT_TRUE(passes());
    settings.searchText = "s?ooler";
    EXPECT_TRUE(passes());
    settings.searchText = "sp?ooler";
    EXPECT_FALSE(passes());
    // State, type text and image path are not searched.
    for (const char* text : {"started", "own process", "spoolsv"}) {
        settings.searchText = text;
        EXPECT_FALSE(passes()) << text;
    }
    FileDetails details;
    details.comment = "queues print jobs";
    settings.searchText = "print jobs";
    EXPECT_FALSE(passes());
    EXPECT_TRUE(passes(&details));

    // The later columns are searched too: a recovery program is found by name.
    entry.onFailure = SharedText("run C:\\tools\\payload.exe");
    settings.searchText = "payload";
    EXPECT_TRUE(passes());
}
