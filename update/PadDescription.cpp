#include "update/PadDescription.h"

#include "update/VersionCompare.h"
#include "xml/XmlDocument.h"

#include <cctype>
#include <cstdlib>

namespace kelvane {

namespace {

std::string textAt(const XmlNode& root, const char* path) {
    return root.textAtPath(parseXmlPath(path));
}

// A decimal number as the C runtime reads it, clamped into the 16-bit field.
uint16_t dateField(const XmlNode& root, const char* path) {
    long value = std::strtol(textAt(root, path).c_str(), nullptr, 10);
    return static_cast<uint16_t>(value < 0 ? 0 : value > 0xFFFF ? 0xFFFF : value);
}

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) {
            return false;
        }
    }
    return true;
}

} // namespace

std::optional<PadInfo> parsePadDescription(std::string_view bytes) {
    if (bytes.size() > maxDescriptionBytes) {
        return std::nullopt;
    }
    XmlDocument document;
    if (!document.readBytes(bytes, "version description")) {
        return std::nullopt;
    }
    const XmlNode* root = document.element("XML_DIZ_INFO");
    if (!root) {
        return std::nullopt;
    }
    PadInfo info;
    info.programName = textAt(*root, "Program_Info/Program_Name");
    info.programVersion = textAt(*root, "Program_Info/Program_Version");
    info.releaseDate.year = dateField(*root, "Program_Info/Program_Release_Year");
    info.releaseDate.month = dateField(*root, "Program_Info/Program_Release_Month");
    info.releaseDate.day = dateField(*root, "Program_Info/Program_Release_Day");
    info.webPage = textAt(*root, "Web_Info/Application_URLs/Application_Info_URL");
    info.downloadUrl = textAt(*root, "Web_Info/Download_URLs/Primary_Download_URL");
    info.authorFirstName = textAt(*root, "Company_Info/Contact_Info/Author_First_Name");
    info.authorLastName = textAt(*root, "Company_Info/Contact_Info/Author_Last_Name");
    for (const XmlNode* list : root->childrenByName("trevolt:messages")) {
        for (const XmlNode* message : list->childrenByName("trevolt:msg")) {
            info.messages.push_back(
                {message->attribute("version"), message->attribute("id"), message->text()});
        }
        break; // the first list only
    }
    return info;
}

std::string selectMessages(const PadInfo& info, const std::string& currentVersion,
                           const std::string& systemText) {
    std::string result;
    for (const PadMessage& message : info.messages) {
        if ((!message.version.empty() && message.version != currentVersion) ||
            (!message.id.empty() && message.id != systemText)) {
            continue;
        }
        if (!result.empty()) {
            result += "\n\n";
        }
        result += message.text;
    }
    return result;
}

bool isUpToDate(const PadInfo& info, const std::string& currentVersion) {
    return compareVersions(currentVersion, info.programVersion) >= 0;
}

bool isFollowableDownloadUrl(std::string_view url) {
    for (std::string_view scheme : {std::string_view("http://"), std::string_view("https://")}) {
        if (startsWithIgnoringCase(url, scheme)) {
            std::string_view rest = url.substr(scheme.size());
            return !rest.empty() && rest.front() != '/' &&
                   rest.find_first_of(" \t\r\n") == std::string_view::npos;
        }
    }
    return false;
}

} // namespace kelvane
