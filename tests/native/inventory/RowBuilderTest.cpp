// One enumerated service becoming a row, and the host rule of a read.
#include "inventory/HostName.h"
#include "tests/native/inventory/TestRows.h"

#include <gtest/gtest.h>

using namespace kelvane;
using namespace kelvane::test;
using C = ServiceColumns;

TEST(RowBuilderTest, WhatTheTextTablesDoNotHoldIsUnknownAndIconClassesFollowTypeAndRunning) {
    const RowTexts texts = numberedTexts();
    // Continue pending has no text of its own; it and unknown states count as active.
    EXPECT_EQ(stateInfo(texts, 5).text + std::to_string(stateInfo(texts, 5).active), "???1");
    EXPECT_EQ(typeText(texts, 0x110), "t126, t178") << "own process, interactive";
    EXPECT_EQ(typeText(texts, 0x03), "t166") << "the kernel driver bit wins";
    EXPECT_EQ(startText(texts, 5u), "???");

    // The icon class follows the type and whether it runs.
    const std::array<std::uint32_t, 3> cases[] = {
        // type, state, class
        {0x01, 4, 1}, {0x02, 4, 3}, {0x20, 1, 4}, {0x110, 4, 5}, {0x04, 4, 7}, {0x04, 7, 6},
    };
    for (const auto& [type, state, iconClassOf] : cases) {
        EXPECT_EQ(iconClass(type, state), static_cast<std::int32_t>(iconClassOf)) << type;
    }
}

TEST(RowBuilderTest, RowCellsWithAndWithoutConfiguration) {
    const RowTexts texts = numberedTexts();
    EnumeratedService service{"Web", "Web server", 0x110, 4, 1234};
    ServiceConfiguration automatic{2, "LocalSystem", "web.exe -x", "C:\\web.exe", {"Db", "+Net"}};
    ServiceExtras extras;
    extras.description = "Serves pages";
    extras.delayedStart = true;
    extras.triggerStart = true;
    const TableRow row = buildServiceRow(texts, service, automatic, "01.02.2026 03:04:05", extras);
    EXPECT_EQ(cellsOf(row, {C::pid, C::type, C::startType, C::active, C::typeImage, C::binaryPath,
                            C::dependencies, C::description, C::startOptions, C::time, C::changed}),
              "1234|272|2|1|5|C:\\web.exe|Db, +Net|Serves pages|t245, t246|01.02.2026 03:04:05||");
    EXPECT_EQ(row.cell(C::pid).intValue(), 1234);

    ServiceConfiguration manual = automatic;
    manual.startType = 3;
    EXPECT_EQ(buildServiceRow(texts, service, manual, "", extras).cell(C::startOptions).text,
              "t246")
        << "a delayed start means something only for an automatic start";

    service.processId = 0;
    service.state = 1;
    extras.triggerStart = false;
    const TableRow denied = buildServiceRow(texts, service, std::nullopt, "", extras);
    EXPECT_EQ(
        cellsOf(denied, {C::pid, C::start, C::startType, C::command, C::startOptions, C::active}),
        "|???|0|||2|");
}

TEST(HostNameTest, LocalNamesInAnyCase) {
    const std::pair<const char*, bool> cases[] = {
        {"LOCALHOST", true}, {".", true}, {"BoX", true}, {"box2", false},
        {"..", false},       {"", false}, // an empty host is replaced by the local name before
    };
    for (const auto& [host, local] : cases) {
        EXPECT_EQ(isLocalHost(host, "box"), local) << host;
    }
}
