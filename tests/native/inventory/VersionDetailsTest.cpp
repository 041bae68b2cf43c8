// Choosing the details texts from a version resource's values, and the form of file times.
#include "inventory/TimeText.h"
#include "inventory/VersionDetails.h"

#include <gtest/gtest.h>

#include <map>

using namespace kelvane;

namespace {

std::string dword(std::uint32_t v) {
    return {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
            static_cast<char>(v >> 24)};
}

class FakeResource : public VersionResource {
public:
    std::map<std::string, std::string> values;
    std::optional<std::string> query(const std::string& path) const override {
        auto it = values.find(path);
        return it == values.end() ? std::nullopt : std::optional<std::string>(it->second);
    }
    std::optional<std::string> languageName(std::uint16_t language) const override {
        // With the NUL counted into its length, as Wine reports it.
        return language == 0x0409 ? std::optional<std::string>(std::string("English", 8))
                                  : std::nullopt;
    }
    void set(const char* block, const char* name, const std::string& value) {
        values[std::string("\\StringFileInfo\\") + block + "\\" + name] = value + '\0';
    }
};

FakeResource twoTranslations() {
    FakeResource r;
    r.values["\\"] = dword(0xFEEF04BD) + dword(0x10000) + dword(0x000A0002) + dword(0xFFFF0004);
    r.values["\\"].resize(52, '\0');
    r.values["\\VarFileInfo\\Translation"] = dword(0x04E40409) + dword(0x04E40407);
    return r;
}

std::string fields(const FileDetails& d) {
    return d.version + "|" + d.language + "|" + d.description + "|" + d.manufacturer + "|" +
           d.comment;
}

} // namespace

// The first translation with a value wins for each field, and the search
// stops once maker and description are known.
TEST(VersionDetails, FirstTranslationWithAValueWinsForEachFieldAndIncompleteResourcesGiveNothing) {
    FakeResource r = twoTranslations();
    r.set("040904e4", "FileDescription", "Tool");
    r.set("040904e4", "Comments", "first");
    r.set("040704e4", "FileDescription", "Werkzeug");
    r.set("040704e4", "CompanyName", std::string("Hersteller\0junk", 15));
    FileDetails d;
    readVersionDetails(r, d);
    EXPECT_EQ(fields(d), "10.2.65535.4|English|Tool|Hersteller|first") << "texts end at a NUL";

    r.set("040904e4", "CompanyName", "Maker");
    r.values.erase("\\StringFileInfo\\040904e4\\Comments");
    r.set("040704e4", "Comments", "only later");
    FileDetails known;
    readVersionDetails(r, known);
    EXPECT_EQ(known.comment, "");

    // Incomplete resources.
    r = twoTranslations();
    r.values["\\"].pop_back();
    r.values["\\VarFileInfo\\Translation"] = "\x07\x04"; // half an entry
    r.set("070400e4", "CompanyName", "Maker");
    FileDetails incomplete;
    readVersionDetails(r, incomplete);
    EXPECT_EQ(fields(incomplete), "||||") << "fixed info must be complete";

    r.values.erase("\\");
    r.values["\\VarFileInfo\\Translation"] = dword(0x04E40409);
    r.set("040904e4", "CompanyName", "Maker");
    FileDetails none;
    readVersionDetails(r, none);
    EXPECT_EQ(none.manufacturer, "") << "no fixed info, nothing else is asked";
}

TEST(TimeText, DayMonthYearThenTheTimeEachFieldPadded) {
    EXPECT_EQ(formatTimeText({2024, 3, 0, 5, 7, 8, 9, 0}), "05.03.2024 07:08:09");
    EXPECT_EQ(formatTimeText({1999, 12, 6, 31, 23, 59, 58, 999}), "31.12.1999 23:59:58");
}
