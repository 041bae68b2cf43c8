// The texts of one list item: the entry's own, the image file's details and
// the word for a change.
#include "inventory/ListItemTexts.h"

#include <gtest/gtest.h>

using namespace kelvane;

TEST(ListItemTexts, DetailsFillTheirSixColumnsAndTheChangesColumnNamesTheMark) {
    ServiceEntry entry;
    entry.serviceName = SharedText("spooler");
    entry.timeText = SharedText("01.02.2026 10:11:12");
    entry.onFailure = SharedText("restart");
    FileDetails details;
    details.fileTime = "03.04.2025 01:02:03";
    details.comment = "remark";
    const ChangeWords words{"new", "changed"};

    const ListItemTexts texts = listItemTexts(entry, &details, words);
    EXPECT_EQ((std::vector<std::string>{texts[0], texts[9], texts[10], texts[15],
                                        texts[listOnFailureColumn], texts[listChangesColumn]}),
              (std::vector<std::string>{"spooler", "01.02.2026 10:11:12", "03.04.2025 01:02:03",
                                        "remark", "restart", ""}));
    EXPECT_EQ(listItemTexts(entry, nullptr, words)[15], "");
    entry.changed = changeMaskNew;
    EXPECT_EQ(listItemTexts(entry, nullptr, words)[listChangesColumn], "new");
    entry.changed = 4;
    EXPECT_EQ(listItemTexts(entry, nullptr, words)[listChangesColumn], "changed");
}
