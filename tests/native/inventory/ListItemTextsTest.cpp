// The texts of one list item.
#include "inventory/ListItemTexts.h"

#include <gtest/gtest.h>

using namespace kelvane;

namespace {

const ChangeWords words{"new", "changed"};

ServiceEntry entry() {
    ServiceEntry e;
    e.serviceName = SharedText("spooler");
    e.displayName = SharedText("Print Spooler");
    e.pidText = SharedText("412");
    e.binaryPath = SharedText("c:\\windows\\system32\\spoolsv.exe");
    e.timeText = SharedText("01.02.2026 10:11:12");
    e.dependencies = SharedText("RpcSs");
    e.onFailure = SharedText("restart");
    return e;
}

} // namespace

TEST(ListItemTexts, ColumnsComeFromTheEntryAndTheImageFileDetails) {
    FileDetails details;
    details.fileTime = "03.04.2025 01:02:03";
    details.version = "10.0.1.2";
    details.manufacturer = "Microsoft Corporation";
    details.comment = "remark";
    ListItemTexts texts = listItemTexts(entry(), &details, words);
    EXPECT_EQ(texts[0], "spooler");
    EXPECT_EQ(texts[1], "Print Spooler");
    EXPECT_EQ(texts[5], "412");
    EXPECT_EQ(texts[8], "c:\\windows\\system32\\spoolsv.exe");
    EXPECT_EQ(texts[9], "01.02.2026 10:11:12");
    EXPECT_EQ(texts[10], "03.04.2025 01:02:03");
    EXPECT_EQ(texts[11], "10.0.1.2");
    EXPECT_EQ(texts[listManufacturerColumn], "Microsoft Corporation");
    EXPECT_EQ(texts[15], "remark");
    EXPECT_EQ(texts[18], "RpcSs") << "Depends on, after the seventeen";
    EXPECT_EQ(texts[21], "restart") << "On failure, the last";

    ListItemTexts withoutDetails = listItemTexts(entry(), nullptr, words);
    for (int c = 10; c <= 15; ++c) {
        EXPECT_EQ(withoutDetails[c], "") << c;
    }
}

TEST(ListItemTexts, ChangesColumnSaysNewChangedOrNothing) {
    ServiceEntry e = entry();
    EXPECT_EQ(listItemTexts(e, nullptr, words)[listChangesColumn], "");
    e.changed = changeMaskNew;
    EXPECT_EQ(listItemTexts(e, nullptr, words)[listChangesColumn], "new");
    e.changed = 4;
    EXPECT_EQ(listItemTexts(e, nullptr, words)[listChangesColumn], "changed");
}
