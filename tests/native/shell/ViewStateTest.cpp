// The arranged view in the settings file: after the elements older versions
// know, read back whole, and every value that cannot be used ignored.
#include "shell/Settings.h"
#include "shell/ViewState.h"

#include "xml/XmlDocument.h"

#include <gtest/gtest.h>

using namespace kelvane;

namespace {

Settings readDocument(const std::string& text) {
    XmlDocument document;
    EXPECT_TRUE(document.readBytes(text, "t"));
    Settings settings;
    EXPECT_TRUE(readSettingsDocument(document, settings));
    return settings;
}

ViewState readView(const std::string& view) {
    return readDocument("<kelvane version='4.6'><flags color-bkgnd='true'/><last-entries/>" + view +
                        "</kelvane>")
        .view;
}

} // namespace

TEST(ViewStateDocument, FollowsTheOlderElementsAndReadsBackWhole) {
    Settings settings;
    settings.placement = "1/2/3/4 - 1";
    settings.computerHistory = {"h"};
    const std::string older = settingsDocument(settings);

    settings.view.widths = {120, columnToFit, 60, columnToFit};
    settings.view.widthsDpi = 144;
    settings.view.order = {2, 0, 1};
    settings.view.sort = ListSort{5, false};
    settings.view.filter.drivers = true;
    settings.view.filter.driverKind = 0;
    settings.view.filter.microsoft = false;
    const std::string document = settingsDocument(settings);

    const std::string before = older.substr(0, older.find("</kelvane>"));
    EXPECT_EQ(document.substr(0, before.size()), before) << "the older elements keep their form";
    EXPECT_EQ(document.substr(before.size()),
              "<view><columns dpi=\"144\" order=\"2,0,1\" widths=\"120,,60\"/>"
              "<sort ascending=\"false\" column=\"5\"/>"
              "<filter active=\"true\" driver-kind=\"0\" drivers=\"true\" inactive=\"true\" "
              "microsoft=\"false\" service-kind=\"2\" services=\"true\"/></view></kelvane>\n");

    Settings read = readDocument(document);
    settings.view.widths.resize(3); // a trailing column to fit is not written
    EXPECT_EQ(read, settings);
    EXPECT_EQ(readDocument(older).view, ViewState()) << "a file without the view: defaults";
}

TEST(ViewStateDocument, ValuesThatCannotBeUsedKeepTheirDefaults) {
    const ViewState damaged =
        readView("<view><columns dpi='96' widths='100,x,-5,99999999999,,7' order='3,99,a,3,-1,0'/>"
                 "<sort column='zz' ascending='false'/>"
                 "<filter services='no' service-kind='3' drivers='TRUE' driver-kind='1' active=''/>"
                 "</view>");
    EXPECT_EQ(damaged.widths,
              (std::vector<int>{100, columnToFit, columnToFit, columnToFit, columnToFit, 7}));
    EXPECT_FALSE(damaged.sort);
    FilterBoxes expected;
    expected.drivers = true;
    expected.driverKind = 1;
    EXPECT_EQ(damaged.filter, expected);

    // A column order naming a column the list does not have, or one twice,
    // places the others and then the rest in their own order.
    EXPECT_EQ(columnOrderFor(damaged, 5), (std::vector<int>{3, 0, 1, 2, 4}));
    EXPECT_EQ(columnOrderFor(readView("<view><columns order='99'/></view>"), 3),
              (std::vector<int>{0, 1, 2}));

    EXPECT_TRUE(readView("<view><columns dpi='0' widths='100'/></view>").widths.empty())
        << "widths at an unknown DPI cannot be placed";
    EXPECT_FALSE(sortFor(readView("<view><sort column='17'/></view>"), 17));
    EXPECT_EQ(sortFor(readView("<view><sort column='16'/></view>"), 17), (ListSort{16, true}));
}

TEST(ViewStateColumns, WidthsFollowTheColumnCountAndTheDpi) {
    ViewState view;
    view.widths = {100, columnToFit, 151, 40, 50};
    view.widthsDpi = 144;
    // Fewer columns than stored: the rest count for nothing; more: fitted.
    EXPECT_EQ(columnWidthsFor(view, 3, 96), (std::vector<int>{67, columnToFit, 101}));
    EXPECT_EQ(columnWidthsFor(view, 7, 144),
              (std::vector<int>{100, columnToFit, 151, 40, 50, columnToFit, columnToFit}));
    EXPECT_EQ(scaleToDpi(20, 0, 120), 20) << "no DPI to scale from";
}
