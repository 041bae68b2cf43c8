// The texts the program takes from the system and from its own string tables.
#include "framework/Exception.h"
#include "framework/win/ModuleResources.h"
#include "framework/win/UniqueHandle.h"
#include "resources/ResourceIds.h"
#include "shell/win/StartUp.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

using namespace Plinth;

TEST(SystemMessageTest, KnownCodeGivesTheSystemTextAndUnknownTheFallback) {
    char expected[512] = {};
    ASSERT_NE(FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                             ERROR_ACCESS_DENIED, 0, expected, sizeof expected, nullptr),
              0u);
    std::string text = SDKException(ERROR_ACCESS_DENIED).getMessage();
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(std::string(expected).find(text), 0u) << text;
    EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << "line break left in: " << text;

    EXPECT_EQ(SDKException(0x2A2A2A2Au).getMessage(), "unknown error 0x2A2A2A2A");
}

class StringTableTest : public ::testing::Test {
protected:
    void SetUp() override { setResourceModule(GetModuleHandleA(nullptr)); }
    void TearDown() override { setResourceLanguage(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_UK)); }
};

TEST_F(StringTableTest, EntryOneHundredAndOneInEachLanguage) {
    // The tables are UTF-16 in the file; the program reads them in the ANSI
    // code page, so the German umlaut arrives as one 1252 byte.
    ASSERT_EQ(GetACP(), 1252u) << "the expectations below assume Windows-1252";
    setResourceLanguage(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_UK));
    EXPECT_EQ(loadString(101), "Inf&o about Kelvane...");
    setResourceLanguage(MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN));
    EXPECT_EQ(loadString(101), "Inf&o \xFC"
                               "ber Kelvane...");
    setResourceLanguage(MAKELANGID(LANG_SWEDISH, SUBLANG_SWEDISH));
    EXPECT_EQ(loadString(101), "&Om Kelvane...");
}

TEST_F(StringTableTest, SwitchesChooseTheLanguageOfTheTexts) {
    kelvane::selectLanguage("-ger");
    EXPECT_EQ(loadString(143), "Sicherheitsabfrage");
    kelvane::selectLanguage("-x -swe");
    EXPECT_EQ(loadString(143), "S\xE4kerhetsfr\xE5ga");
    kelvane::selectLanguage("-eng");
    EXPECT_EQ(loadString(143), "Safety Question");
    kelvane::selectLanguage("-ger -swe");
    EXPECT_EQ(loadString(106), "Dienstspezifischer Fehlercode: %d");
}

TEST_F(StringTableTest, EveryLanguageHoldsEveryEntry) {
    const LANGID languages[] = {MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_UK),
                                MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN),
                                MAKELANGID(LANG_SWEDISH, SUBLANG_SWEDISH)};
    for (LANGID language : languages) {
        // Look each entry up in exactly this language: the lookup's fallback
        // to English would hide a missing entry.
        std::vector<unsigned> ids;
        for (unsigned id = IDS_FIRST; id <= IDS_LAST; ++id) {
            ids.push_back(id);
        }
        for (unsigned id = IDS_LATER_COLUMNS_FIRST; id <= IDS_LATER_COLUMNS_LAST; ++id) {
            ids.push_back(id);
        }
        for (unsigned id : ids) {
            HRSRC block = FindResourceExA(GetModuleHandleA(nullptr), RT_STRING,
                                          MAKEINTRESOURCEA(id / 16 + 1), language);
            ASSERT_NE(block, nullptr) << "language " << language << " id " << id;
            setResourceLanguage(language);
            EXPECT_FALSE(loadString(id).empty()) << "language " << language << " id " << id;
        }
    }
}

TEST_F(StringTableTest, TextsKeepTheirQuotesAndLineBreaks) {
    setResourceLanguage(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_UK));
    EXPECT_EQ(loadString(148), "Do you want to run the setup from \"%#s\"?");
    EXPECT_EQ(loadString(184), "Active version: %#s\n\nThe newest version of %#s is %#s (%#s)");
    EXPECT_EQ(loadString(177), "Excel sheet (*.xls)|*.xls|CSV file (*.csv)|*.csv|");
    EXPECT_EQ(loadString(4000), "") << "an entry no table holds";
}

TEST(ResourceTest, IconBitmapAndAcceleratorsArePresent) {
    HINSTANCE module = GetModuleHandleA(nullptr);
    EXPECT_NE(LoadIconA(module, MAKEINTRESOURCEA(IDI_KELVANE)), nullptr);
    EXPECT_NE(LoadAcceleratorsA(module, MAKEINTRESOURCEA(IDR_ACCELERATORS)), nullptr);

    UniqueBitmap bitmap(static_cast<HBITMAP>(LoadImageA(module, MAKEINTRESOURCEA(IDB_CLASS_ICONS),
                                                        IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    ASSERT_TRUE(bitmap);
    DIBSECTION section = {};
    ASSERT_EQ(GetObjectA(bitmap.get(), sizeof section, &section), static_cast<int>(sizeof section));
    EXPECT_EQ(section.dsBm.bmWidth, 128);
    EXPECT_EQ(section.dsBm.bmHeight, 16);
    EXPECT_EQ(section.dsBmih.biBitCount, 4);

    // The list loads the images with RGB 25,0,0 as the mask colour: a pixel
    // of that colour would turn transparent.
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap.get());
    int white = 0;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 128; ++x) {
            COLORREF pixel = GetPixel(dc, x, y);
            ASSERT_NE(pixel, RGB(25, 0, 0)) << x << "," << y;
            white += pixel == RGB(255, 255, 255);
        }
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    EXPECT_GT(white, 128 * 16 / 2) << "the images lie on white";
}
