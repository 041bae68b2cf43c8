// Which entries the list shows: the wildcard search, the type, state and
// maker filters.
#include "inventory/RowFilter.h"
#include "inventory/WildcardMatch.h"

#include <gtest/gtest.h>

using namespace kelvane;

TEST(WildcardMatchTest, StarTakesAnyRunQuestionMarkOneCharacterAndCaseIsIgnored) {
    const struct {
        const char* text;
        const char* pattern;
        bool matches;
    } cases[] = {
        {"", "*", true},           {"", "?", false},            {"Spooler", "spooler", true},
        {"spooler", "*OOL*", true}, {"spooler", "spooler?", false}, {"spooler", "spoo", false},
        {"ab", "a?b", false},      {"axb", "a?b", true},        {"abcabd", "*ab?", true},
        {"abcab", "*ab?", false},  {"mississippi", "m**i***i", true}, {"Z", "z", true},
        {"@", "`", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(wildcardMatch(c.text, c.pattern), c.matches) << c.text << " ~ " << c.pattern;
    }
    // Exponential with naive recursion; must come back at once.
    const std::string text(5000, 'a');
    EXPECT_FALSE(wildcardMatch(text, "*a*a*a*a*a*a*a*a*a*a*b"));
    EXPECT_TRUE(wildcardMatch(text + "b", "*a*a*a*a*a*a*a*a*a*a*b"));
}

TEST(RowFilterTest, TypeAndStateMasks) {
    EXPECT_EQ(typeMaskFor(true, 0, true, 1), 0x12u);
    EXPECT_EQ(typeMaskFor(true, -1, true, 3), 0u) << "no item selected";
    EXPECT_EQ(activeMaskFor(false, true), 2u);

    const struct {
        std::int32_t type, active;
        std::uint32_t typeMask, activeMask;
        bool passes;
    } cases[] = {
        {0x10, 1, typeAllServices, 3, true},  {0x10, 1, typeAllDrivers, 3, false},
        {0x08, 1, typeAllDrivers, 3, true},   {0x08, 1, typeKernelDrivers, 3, false},
        {0x04, 1, typeAllDrivers | typeAllServices, 3, false}, // adapters are never listed
        {0x20, 1, typeAllServices, 2, false}, {0x20, 2, typeAllServices, 2, true},
    };
    for (const auto& c : cases) {
        ServiceEntry entry;
        entry.type = c.type;
        entry.active = c.active;
        FilterSettings settings;
        settings.typeMask = c.typeMask;
        settings.activeMask = c.activeMask;
        EXPECT_EQ(passesFilter(entry, settings, nullptr), c.passes) << c.type << " " << c.active;
    }
}

TEST(RowFilterTest, MicrosoftFilterNeedsTheKnownMakerText) {
    ServiceEntry entry;
    entry.type = 0x10;
    entry.active = 1;
    FilterSettings settings;
    settings.showMicrosoft = false;
    EXPECT_TRUE(passesFilter(entry, settings, nullptr)) << "no details read yet";
    const std::pair<const char*, bool> makers[] = {
        {"Microsoft Corporation", false}, {"Microsoft Corp", false}, {"Microsoft Cor", true},
        {"microsoft corporation", true},
    };
    for (const auto& [maker, passes] : makers) {
        FileDetails details;
        details.manufacturer = maker;
        EXPECT_EQ(passesFilter(entry, settings, &details), passes) << maker;
    }
}

TEST(RowFilterTest, SearchLooksAtNamedFieldsOnly) {
    ServiceEntry entry;
    entry.serviceName = SharedText("spooler");
    entry.displayName = SharedText("Print Spooler");
    entry.statusText = SharedText("started");
    entry.typeText = SharedText("own process");
    entry.binaryPath = SharedText("C:\\Windows\\System32\\spoolsv.exe");
    entry.onFailure = SharedText("run C:\\tools\\payload.exe");
    entry.type = 0x10;
    entry.active = 1;
    FileDetails details;
    details.comment = "queues print jobs";
    const struct {
        const char* search;
        bool withDetails, passes;
    } cases[] = {
        {"SPOOL", false, true},       {"started", false, false}, {"spoolsv", false, false},
        {"print jobs", false, false}, {"print jobs", true, true}, {"payload", false, true},
    };
    for (const auto& c : cases) {
        FilterSettings settings;
        settings.searchText = c.search;
        EXPECT_EQ(passesFilter(entry, settings, c.withDetails ? &details : nullptr), c.passes)
            << c.search;
    }
}
