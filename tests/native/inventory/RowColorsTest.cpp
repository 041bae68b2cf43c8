// The colours and bold cells of the list and of the legend's sample rows.
#include "inventory/ListItemTexts.h"
#include "inventory/RowColors.h"
#include "inventory/ServiceColumns.h"

#include <gtest/gtest.h>

using namespace kelvane;

namespace {

const CellColour windowText{CellColour::WindowText, 0};
const CellColour window{CellColour::Window, 0};
const CellColour listDefault{};

class RowColorsTest : public ::testing::Test {
protected:
    RowColorsTest() { entry.type = 0x10; }

    CellStyle style(int column, const char* text = "", const char* maker = "") const {
        return cellStyle(entry, column, text, maker, colouring);
    }

    ServiceEntry entry;
    ListColouring colouring;
};

} // namespace

TEST_F(RowColorsTest, ColouringOffDrawsNothing) {
    colouring.colourBackground = false;
    colouring.searchText = "svc";
    entry.changed = 16;
    EXPECT_FALSE(needsCellDrawing(entry, colouring));
    const CellStyle s = style(0, "svc");
    EXPECT_EQ(s.text, listDefault);
    EXPECT_EQ(s.background, listDefault);
    EXPECT_FALSE(s.bold);
}

TEST_F(RowColorsTest, ANewServiceIsYellowAndBoldInItsNamesAndAChangedOneInItsColumns) {
    entry.type = 0x01;
    entry.changed = changeMaskNew;
    // Without sort column or search the whole row takes column 0's style.
    EXPECT_FALSE(needsCellDrawing(entry, colouring));
    EXPECT_EQ(style(0).background, CellColour::fixed(changedYellow));
    EXPECT_TRUE(style(1).bold);
    EXPECT_FALSE(style(2).bold);

    entry.changed = 6160 | 8192; // status, active, typeImage, time
    EXPECT_TRUE(needsCellDrawing(entry, colouring));
    EXPECT_TRUE(style(4).bold);
    EXPECT_TRUE(style(9).bold);
    EXPECT_FALSE(style(0).bold);
    EXPECT_FALSE(style(12).bold) << "list column 12 is the language, not typeImage";
    entry.changed = 1 << ServiceColumns::dependencies;
    EXPECT_TRUE(style(listDependenciesColumn).bold) << "a later persisted column";
    EXPECT_FALSE(style(listNeededByColumn).bold);
}

TEST_F(RowColorsTest, BackgroundByKindMakerAndSortColumnAndSearchHitsInRed) {
    EXPECT_EQ(style(0).background, listDefault);
    EXPECT_EQ(style(0, "", "Microsoft Corporation").background, CellColour::fixed(microsoftBlue));
    colouring.sortChosen = true;
    colouring.sortColumn = 3;
    EXPECT_TRUE(needsCellDrawing(entry, colouring));
    EXPECT_EQ(style(3).background, CellColour::fixed(sortColumnYellow));
    EXPECT_EQ(style(4).background, window) << "the list carries colours on to the next cell";
    EXPECT_EQ(style(2).background, listDefault);
    entry.type = 0x02;
    EXPECT_EQ(style(3).background, CellColour::fixed(fileSystemDriverGreen));
    entry.type = 0x03;
    EXPECT_EQ(style(3).background, CellColour::fixed(kernelDriverRed));

    colouring.searchText = "RUN";
    EXPECT_TRUE(needsCellDrawing(entry, colouring));
    EXPECT_EQ(style(4, "running").text, CellColour::fixed(searchHitRed));
    EXPECT_EQ(style(1, "stopped").text, windowText);
}

TEST(LegendColoursTest, SampleRows) {
    const LegendTexts texts{"Search string", "Kernel driver", "File system driver"};
    const auto bg = [&](const char* first, const char* maker, int column) {
        return legendCellStyle(first, maker, column, "", texts).background;
    };
    EXPECT_EQ(bg("Service", "Noname", 1), CellColour::fixed(sortColumnYellow));
    EXPECT_TRUE(legendCellStyle("new Service", "Apple Inc.", 2, "", texts).bold);
    EXPECT_EQ(bg("File system driver", "", 1), CellColour::fixed(fileSystemDriverGreen));
    EXPECT_EQ(bg("Service", "Microsoft Corp", 1), CellColour::fixed(microsoftBlue));
    EXPECT_EQ(legendCellStyle("Service", "Search string", 2, "Search string", texts).text,
              CellColour::fixed(searchHitRed));
}
