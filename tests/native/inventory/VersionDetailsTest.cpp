// Choosing the details texts from a version resource's values.
#include "inventory/VersionDetails.h"

#include <gtest/gtest.h>

#include <map>

using namespace kelvane;

namespace {

std::string dword(std::uint32_t v) {
    std::string bytes;
    for (int i = 0; i < 4; ++i) {
        bytes += static_cast<char>((v >> (8 * i)) & 0xFF);
    }
    return bytes;
}

std::string fixedInfo(std::uint32_t ms, std::uint32_t ls) {
    std::string bytes = dword(0xFEEF04BD) + dword(0x10000) + dword(ms) + dword(ls);
    bytes.resize(52, '\0');
    return bytes;
}

std::string translation(std::uint16_t language, std::uint16_t codePage) {
    return dword(static_cast<std::uint32_t>(codePage) << 16 | language);
}

class FakeResource : public VersionResource {
public:
    std::map<std::string, std::string> values;
    std::map<std::uint16_t, std::string> languages;
    std::optional<std::string> query(const std::string& path) const override {
        auto it = values.find(path);
        return it == values.end() ? std::nullopt : std::optional<std::string>(it->second);
    }
    std::optional<std::string> languageName(std::uint16_t language) const override {
        auto it = languages.find(language);
        return it == languages.end() ? std::nullopt : std::optional<std::string>(it->second);
    }
};

class VersionDetailsTest : public ::testing::Test {
protected:
    FakeResource resource;
    FileDetails details;
    void SetUp() override {
        resource.values["\\"] = fixedInfo(0x00010002, 0x00030004);
        resource.languages = {{0x0409, "English (United States)"}, {0x0407, "German"}};
    }
    void set(const char* block, const char* name, std::string value) {
        resource.values[std::string("\\StringFileInfo\\") + block + "\\" + name] =
            std::move(value) + '\0';
    }
};

} // namespace

TEST_F(VersionDetailsTest, FileVersionFromACompleteFixedInfoOnly) {
    EXPECT_EQ(fileVersionText(fixedInfo(0x000A0000, 0xFFFF0001)), "10.0.65535.1");
    std::string shortInfo = fixedInfo(1, 1);
    shortInfo.pop_back();
    EXPECT_EQ(fileVersionText(shortInfo), "");
    EXPECT_EQ(fileVersionText(""), "");
}

TEST_F(VersionDetailsTest, NoFixedInfoMeansNothingElseIsAsked) {
    resource.values.erase("\\");
    resource.values["\\VarFileInfo\\Translation"] = translation(0x0409, 1252);
    set("040904e4", "CompanyName", "Maker");
    readVersionDetails(resource, details);
    EXPECT_EQ(details.version, "");
    EXPECT_EQ(details.manufacturer, "");
}

TEST_F(VersionDetailsTest, FirstTranslationNamesTheLanguageAndKeysAreLowerCaseHex) {
    resource.values["\\VarFileInfo\\Translation"] = translation(0x0409, 0x04B0);
    set("040904b0", "CompanyName", "Maker");
    set("040904b0", "FileDescription", "Tool");
    set("040904b0", "Comments", "Note");
    readVersionDetails(resource, details);
    EXPECT_EQ(details.version, "1.2.3.4");
    EXPECT_EQ(details.language, "English (United States)");
    EXPECT_EQ(details.manufacturer, "Maker");
    EXPECT_EQ(details.description, "Tool");
    EXPECT_EQ(details.comment, "Note");
}

TEST_F(VersionDetailsTest, MissingCompanyNameLeavesManufacturerEmpty) {
    resource.values["\\VarFileInfo\\Translation"] = translation(0x0409, 1252);
    set("040904e4", "FileDescription", "Tool");
    readVersionDetails(resource, details);
    EXPECT_EQ(details.description, "Tool");
    EXPECT_EQ(details.manufacturer, "");
}

TEST_F(VersionDetailsTest, LaterTranslationsFillOnlyWhatIsStillMissing) {
    resource.values["\\VarFileInfo\\Translation"] =
        translation(0x0409, 1252) + translation(0x0407, 1252);
    set("040904e4", "FileDescription", "Tool");
    set("040904e4", "Comments", "first");
    set("040704e4", "FileDescription", "Werkzeug");
    set("040704e4", "CompanyName", "Hersteller");
    set("040704e4", "Comments", "zweite");
    readVersionDetails(resource, details);
    EXPECT_EQ(details.description, "Tool");
    EXPECT_EQ(details.manufacturer, "Hersteller");
    EXPECT_EQ(details.comment, "first");
    EXPECT_EQ(details.language, "English (United States)");
}

TEST_F(VersionDetailsTest, SearchStopsOnceMakerAndDescriptionAreKnown) {
    resource.values["\\VarFileInfo\\Translation"] =
        translation(0x0409, 1252) + translation(0x0407, 1252);
    set("040904e4", "FileDescription", "Tool");
    set("040904e4", "CompanyName", "Maker");
    set("040704e4", "Comments", "only later");
    readVersionDetails(resource, details);
    EXPECT_EQ(details.comment, "");
}

TEST_F(VersionDetailsTest, EmptyOrUnknownTranslationTable) {
    resource.values["\\VarFileInfo\\Translation"] = "";
    readVersionDetails(resource, details);
    EXPECT_EQ(details.version, "1.2.3.4");
    EXPECT_EQ(details.language, "");

    FileDetails other;
    resource.values["\\VarFileInfo\\Translation"] = translation(0x0c0c, 1252);
    set("0c0c04e4", "CompanyName", std::string("Maker\0junk", 10));
    readVersionDetails(resource, other);
    EXPECT_EQ(other.language, "") << "unknown language";
    EXPECT_EQ(other.manufacturer, "Maker") << "the text ends at its NUL";
}
