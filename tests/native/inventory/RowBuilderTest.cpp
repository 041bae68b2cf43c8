// One enumerated service becoming a row, and the host and time rules of a read.
#include "inventory/HostName.h"
#include "inventory/RowBuilder.h"
#include "inventory/ServiceColumns.h"
#include "inventory/TimeText.h"

#include <gtest/gtest.h>

using namespace kelvane;
using C = ServiceColumns;

namespace {

RowTexts englishTexts() {
    return RowTexts::load([](unsigned id) { return "t" + std::to_string(id); });
}

} // namespace

TEST(RowBuilderTest, StatesGiveTheirTextsAndActiveValues) {
    RowTexts texts = englishTexts();
    EXPECT_EQ(stateInfo(texts, 1).text, "-");
    EXPECT_EQ(stateInfo(texts, 1).active, 2);
    EXPECT_EQ(stateInfo(texts, 4).text, "t134");
    EXPECT_EQ(stateInfo(texts, 7).text, "t136");
    // Continue pending has no text of its own; it and unknown states count as active.
    for (unsigned state : {5u, 0u, 8u, 0xFFFFFFFFu}) {
        EXPECT_EQ(stateInfo(texts, state).text, "???") << state;
        EXPECT_EQ(stateInfo(texts, state).active, 1) << state;
    }
}

TEST(RowBuilderTest, TypeTextTakesTheFirstBitAndAddsInteractive) {
    RowTexts texts = englishTexts();
    EXPECT_EQ(typeText(texts, 0x110), "t126, t178");
    EXPECT_EQ(typeText(texts, 0x20), "t127");
    EXPECT_EQ(typeText(texts, 0x03), "t166") << "kernel driver bit wins";
    EXPECT_EQ(typeText(texts, 0x08), "t169");
    EXPECT_EQ(typeText(texts, 0x40), "???");
    EXPECT_EQ(startText(texts, std::nullopt), "???");
    EXPECT_EQ(startText(texts, 2u), "t137");
    EXPECT_EQ(startText(texts, 0u), "t138");
    EXPECT_EQ(startText(texts, 9u), "???");
}

TEST(RowBuilderTest, IconClassFollowsTypeAndRunning) {
    EXPECT_EQ(iconClass(0x01, 4), 1);
    EXPECT_EQ(iconClass(0x20, 1), 4);
    EXPECT_EQ(iconClass(0x02, 4), 3);
    EXPECT_EQ(iconClass(0x110, 4), 5);
    EXPECT_EQ(iconClass(0x04, 7), 6) << "paused is not running";
}

TEST(RowBuilderTest, RowCellsWithAndWithoutConfiguration) {
    RowTexts texts = englishTexts();
    EnumeratedService service{"Spooler", "Print Spooler", 0x110, 4, 1234};
    ServiceConfiguration config{2, "LocalSystem", "spoolsv.exe -x",
                                "C:\\windows\\system32\\spoolsv.exe"};
    TableRow row = buildServiceRow(texts, service, config, "01.02.2026 03:04:05");
    ASSERT_EQ(row.cells.size(), static_cast<size_t>(C::count));
    EXPECT_EQ(row.cell(C::serviceName).text, "Spooler");
    EXPECT_EQ(row.cell(C::pid).text, "1234");
    EXPECT_EQ(row.cell(C::pid).intValue(), 1234);
    EXPECT_EQ(row.cell(C::type).text, "272");
    EXPECT_EQ(row.cell(C::startType).text, "2");
    EXPECT_EQ(row.cell(C::active).text, "1");
    EXPECT_EQ(row.cell(C::typeImage).text, "5");
    EXPECT_EQ(row.cell(C::binaryPath).text, "C:\\windows\\system32\\spoolsv.exe");
    EXPECT_EQ(row.cell(C::time).text, "01.02.2026 03:04:05");
    EXPECT_EQ(row.cell(C::changed).text, "");

    service.processId = 0;
    service.state = 1;
    TableRow denied = buildServiceRow(texts, service, std::nullopt, "");
    EXPECT_EQ(denied.cell(C::pid).text, "") << "no process, no PID";
    EXPECT_EQ(denied.cell(C::start).text, "???");
    EXPECT_EQ(denied.cell(C::startType).text, "0");
    EXPECT_EQ(denied.cell(C::account).text, "");
    EXPECT_EQ(denied.cell(C::command).text, "");
    EXPECT_EQ(denied.cell(C::active).text, "2");
}

TEST(RowBuilderTest, LaterCellsFromTheFurtherQueries) {
    RowTexts texts = englishTexts();
    EnumeratedService service{"Web", "Web", 0x10, 1, 0};
    ServiceConfiguration automatic{2, "LocalSystem", "web.exe", "", {"Db", "+Net"}, "Servers"};
    ServiceExtras extras;
    extras.description = "Serves pages";
    extras.delayedStart = true;
    extras.triggerStart = true;
    extras.failureActions.actions = {{RecoveryAction::restart, 0}};
    TableRow row = buildServiceRow(texts, service, automatic, "", extras);
    EXPECT_EQ(row.cell(C::description).text, "Serves pages");
    EXPECT_EQ(row.cell(C::dependencies).text, "Db, +Net");
    EXPECT_EQ(row.cell(C::loadOrderGroup).text, "Servers");
    EXPECT_EQ(row.cell(C::startOptions).text, "t245, t246");
    EXPECT_EQ(row.cell(C::onFailure).text, "t248");

    // A delayed start means something only for an automatic start.
    ServiceConfiguration manual = automatic;
    manual.startType = 3;
    EXPECT_EQ(buildServiceRow(texts, service, manual, "", extras).cell(C::startOptions).text,
              "t246");
    extras.triggerStart = false;
    EXPECT_EQ(buildServiceRow(texts, service, std::nullopt, "", extras).cell(C::startOptions).text,
              "");
}

TEST(HostNameTest, LocalNamesInAnyCase) {
    EXPECT_TRUE(isLocalHost("LOCALHOST", "box"));
    EXPECT_TRUE(isLocalHost(".", "box"));
    EXPECT_TRUE(isLocalHost("BoX", "box"));
    EXPECT_FALSE(isLocalHost("box2", "box"));
    EXPECT_FALSE(isLocalHost("..", "box"));
    EXPECT_FALSE(isLocalHost("", "box")) << "an empty host is replaced by the local name before";
}

TEST(TimeTextTest, DayMonthYearWithLeadingZeros) {
    Plinth::SystemTime time;
    time.year = 2026;
    time.month = 3;
    time.day = 7;
    time.hour = 4;
    time.minute = 5;
    time.second = 9;
    EXPECT_EQ(formatTimeText(time), "07.03.2026 04:05:09");
}
