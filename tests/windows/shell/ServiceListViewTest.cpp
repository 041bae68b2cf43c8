// The list control hands its texts over on request, cut to the caller's
// buffer, and updates an entry's item in place (sorting is the native
// tests' business).
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
    HWND window = nullptr;
    ServiceListView list;
};

} // namespace

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
