// The list control's own rules: numeric PIDs, times by date, the header
// arrow, and texts handed over on request.
#include "shell/win/ServiceListView.h"

#include "framework/win/ModuleResources.h"

#include <gtest/gtest.h>

using namespace kelvane;

namespace {

class ServiceListViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        Plinth::setResourceModule(GetModuleHandleA(nullptr));
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&controls);
        window = CreateWindowExA(0, WC_LISTVIEWA, "", WS_POPUP | LVS_REPORT, 0, 0, 600, 300,
                                 nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(window, nullptr);
        list.attach(window, nullptr);
        list.insertColumns();
    }
    void TearDown() override { DestroyWindow(window); }

    void add(int number, const char* pid, const char* time) {
        ServiceEntry entry;
        entry.serviceName = SharedText("s" + std::to_string(number));
        entry.pidText = SharedText(pid);
        entry.timeText = SharedText(time);
        list.addItem(number, entry, listItemTexts(entry, nullptr, {}), 0);
    }
    std::vector<std::string> column(int c) {
        std::vector<std::string> texts;
        for (int i = 0; i < list.count(); ++i) {
            texts.push_back(list.textAt(i, c));
        }
        return texts;
    }
    int headerFormat(int c) {
        HWND header = reinterpret_cast<HWND>(SendMessageA(window, LVM_GETHEADER, 0, 0));
        HDITEMA item{};
        item.mask = HDI_FORMAT;
        SendMessageA(header, HDM_GETITEMA, c, reinterpret_cast<LPARAM>(&item));
        return item.fmt;
    }

    HWND window = nullptr;
    ServiceListView list;
};

} // namespace

TEST_F(ServiceListViewTest, PidsSortAsNumbersAndTimesAsDates) {
    add(1, "10", "01.02.2026 00:00:00");
    add(2, "9", "31.12.2025 23:59:59");
    add(3, "", "15.01.2026 12:00:00");
    add(4, "100", "");
    list.chooseSortColumn(5);
    EXPECT_EQ(column(5), (std::vector<std::string>{"", "9", "10", "100"}));
    EXPECT_NE(headerFormat(5) & HDF_SORTDOWN, 0);
    list.chooseSortColumn(5);
    EXPECT_EQ(column(5), (std::vector<std::string>{"100", "10", "9", ""}));
    EXPECT_NE(headerFormat(5) & HDF_SORTUP, 0);

    list.chooseSortColumn(9);
    EXPECT_EQ(headerFormat(5) & (HDF_SORTUP | HDF_SORTDOWN), 0) << "the old arrow goes";
    EXPECT_EQ(column(9), (std::vector<std::string>{"", "31.12.2025 23:59:59", "15.01.2026 12:00:00",
                                                   "01.02.2026 00:00:00"}));
}

TEST_F(ServiceListViewTest, TextsAreHandedOverOnRequestAndUpdatedInPlace) {
    add(7, "42", "");
    char buffer[4] = "";
    NMLVDISPINFOA request{};
    request.item.mask = LVIF_TEXT | LVIF_IMAGE;
    request.item.iItem = 0;
    request.item.iSubItem = 0;
    request.item.pszText = buffer;
    request.item.cchTextMax = sizeof buffer;
    list.answerTextRequest(request);
    EXPECT_STREQ(buffer, "s7") << "cut to the buffer";
    request.item.iSubItem = 5;
    list.answerTextRequest(request);
    EXPECT_STREQ(buffer, "42");

    add(7, "43", "");
    EXPECT_EQ(list.count(), 1) << "the same entry updates its item";
    EXPECT_EQ(list.updates(), 1);
    EXPECT_EQ(list.textAt(0, 5), "43");
    list.removeItem(7);
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(list.numberAt(0), 0);
}
