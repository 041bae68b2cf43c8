// The texts the program takes from the system and from its own string tables.
#include "framework/Exception.h"
#include "framework/win/ModuleResources.h"
#include "resources/ResourceIds.h"

#include <gtest/gtest.h>

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
    const std::string text = SDKException(ERROR_ACCESS_DENIED).getMessage();
    EXPECT_NE(text.find("denied"), std::string::npos) << text;
    EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << "line break left in: " << text;
    EXPECT_EQ(SDKException(0x2A2A2A2Au).getMessage(), "unknown error 0x2A2A2A2A");
}

TEST(StringTableTest, EveryLanguageHoldsEveryEntryWithTheEnglishConversionsInTheAnsiCodePage) {
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
    // The tables are UTF-16 in the file; the program reads them in the ANSI
    // code page, so the umlauts arrive as one 1252 byte each.
    ASSERT_EQ(GetACP(), 1252u) << "the expectation below assumes Windows-1252";
    EXPECT_EQ(loadString(143), "S\xE4kerhetsfr\xE5ga");
    setResourceLanguage(english);
}
