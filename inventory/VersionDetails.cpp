#include "inventory/VersionDetails.h"

#include "framework/TextFormat.h"

namespace kelvane {

namespace {

constexpr std::size_t fixedInfoSize = 52;
constexpr std::size_t fileVersionOffset = 8; // after the signature and structure version

std::uint32_t readDword(const std::string& bytes, std::size_t offset) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[offset + i]))
                 << (8 * i);
    }
    return value;
}

std::uint16_t readWord(const std::string& bytes, std::size_t offset) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[offset]) |
                                      static_cast<unsigned char>(bytes[offset + 1]) << 8);
}

// A string value's bytes up to its terminating NUL.
std::string valueText(const std::string& bytes) {
    return bytes.substr(0, bytes.find('\0'));
}

void takeIfEmpty(std::string& field, const std::optional<std::string>& value) {
    if (field.empty() && value) {
        field = valueText(*value);
    }
}

} // namespace

std::string fileVersionText(const std::string& fixedInfo) {
    if (fixedInfo.size() != fixedInfoSize) {
        return {};
    }
    std::uint32_t high = readDword(fixedInfo, fileVersionOffset);
    std::uint32_t low = readDword(fixedInfo, fileVersionOffset + 4);
    return Plinth::formatText("%d.%d.%d.%d", high >> 16, high & 0xFFFF, low >> 16, low & 0xFFFF);
}

void readVersionDetails(const VersionResource& resource, FileDetails& details) {
    auto fixedInfo = resource.query("\\");
    if (!fixedInfo) {
        return;
    }
    details.version = fileVersionText(*fixedInfo);

    auto translations = resource.query("\\VarFileInfo\\Translation");
    if (!translations) {
        return;
    }
    std::size_t count = translations->size() / 4; // a trailing partial entry is no entry
    if (count == 0) {
        return;
    }
    if (auto name = resource.languageName(readWord(*translations, 0))) {
        // Some systems count the terminating NUL into the name's length.
        details.language = valueText(*name);
    }
    for (std::size_t i = 0; i < count; ++i) {
        std::string block =
            Plinth::formatText("\\StringFileInfo\\%04x%04x\\", readWord(*translations, 4 * i),
                               readWord(*translations, 4 * i + 2));
        takeIfEmpty(details.manufacturer, resource.query(block + "CompanyName"));
        takeIfEmpty(details.description, resource.query(block + "FileDescription"));
        takeIfEmpty(details.comment, resource.query(block + "Comments"));
        if (!details.description.empty() && !details.manufacturer.empty()) {
            break;
        }
    }
}

} // namespace kelvane
