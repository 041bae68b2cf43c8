// The texts the program takes from the system and from its own string tables.
#include "framework/Exception.h"
#include "framework/win/ModuleResources.h"
#include "framework/win/UniqueHandle.h"
#include "resources/ResourceIds.h"
#include "shell/win/StartUp.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

using namespace Plinth;

namespace {

const LANGID english = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_UK);

// The conversions of a format text in order ("%d%#s"): a translation is
// formatted with the English text's arguments.
std::string conversions(const std::string& text) {
    std::string found;
    for (size_t at = text.find('%'); at != std::string::npos; at = text.find('%', at + 2)) {
        const size_t end = text.find_first_not_of("#-+ 0123456789.l", at + 1);
        found += text.substr(at, end == std::string::npos ? end : end - at + 1);
    }
    return found;
}

} // namespace

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

TEST(StringTableTest, SwitchesChooseTheLanguageAndTheTextsComeInTheAnsiCodePage) {
    setResourceModule(GetModuleHandleA(nullptr));
    // The tables are UTF-16 in the file; the program reads them in the ANSI
    // code page, so the umlauts arrive as one 1252 byte each.
    ASSERT_EQ(GetACP(), 1252u) << "the expectations below assume Windows-1252";
    kelvane::selectLanguage("-ger");
    EXPECT_EQ(loadString(101), "Inf&o \xFC"
                               "ber Kelvane...");
    kelvane::selectLanguage("-x -swe");
    EXPECT_EQ(loadString(143), "S\xE4kerhetsfr\xE5ga");
    setResourceLanguage(english);
}

TEST(StringTableTest, EveryLanguageHoldsEveryEntryWithTheEnglishConversions) {
    setResourceModule(GetModuleHandleA(nullptr));
    for (LANGID language :
         {MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), MAKELANGID(LANG_SWEDISH, SUBLANG_SWEDISH)}) {
        for (unsigned id = IDS_FIRST; id <= IDS_LATER_COLUMNS_LAST; ++id) {
            if (id > IDS_LAST && id < IDS_LATER_COLUMNS_FIRST) {
                continue;
            }
            // Looked up in exactly this language: the lookup's fallback to
            // English would hide a missing entry.
            ASSERT_NE(FindResourceExA(GetModuleHandleA(nullptr), RT_STRING,
                                      MAKEINTRESOURCEA(id / 16 + 1), language),
                      nullptr)
                << language << " " << id;
            setResourceLanguage(english);
            const std::string original = loadString(id);
            setResourceLanguage(language);
            const std::string translated = loadString(id);
            EXPECT_FALSE(translated.empty()) << language << " " << id;
            // A singular may leave out the count; nothing may be added or
            // converted otherwise.
            EXPECT_EQ(conversions(original).rfind(conversions(translated), 0), 0u)
                << language << " " << id << ": " << translated;
        }
    }
    setResourceLanguage(english);
}

// The list loads the class images with RGB 25,0,0 as the mask colour: a
// pixel of that colour would turn transparent.
TEST(ResourceTest, TheClassIconsLieOnWhiteWithoutTheMaskColour) {
    UniqueBitmap bitmap(static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr),
                                                        MAKEINTRESOURCEA(IDB_CLASS_ICONS),
                                                        IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    ASSERT_TRUE(bitmap);
    BITMAP size{};
    GetObjectA(bitmap.get(), sizeof size, &size);
    ASSERT_EQ(size.bmWidth * size.bmHeight, 128 * 16) << "eight images of 16 by 16";
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap.get());
    int white = 0, mask = 0;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 128; ++x) {
            white += GetPixel(dc, x, y) == RGB(255, 255, 255);
            mask += GetPixel(dc, x, y) == RGB(25, 0, 0);
        }
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    EXPECT_EQ(mask, 0);
    EXPECT_GT(white, 128 * 16 / 2);
}
