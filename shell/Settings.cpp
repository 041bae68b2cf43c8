#include "shell/Settings.h"

#include "framework/Exception.h"
#include "framework/TextFormat.h"
#include "inventory/ServiceTableXml.h"
#include "update/VersionCompare.h"
#include "xml/XmlDocument.h"
#include "xml/XmlFormat.h"
#include "xml/XmlStreamWriter.h"

#include <cstdint>

namespace kelvane {

void Settings::takePlacement(const std::string& current) {
    if (!current.empty()) {
        placement = current;
    }
}

bool Settings::operator==(const Settings& other) const {
    return placement == other.placement && computerHistory == other.computerHistory &&
           searchHistory == other.searchHistory && colourBackground == other.colourBackground &&
           view == other.view;
}

std::string settingsFilePath(const std::string& localAppDataFolder) {
    return Plinth::formatText("%s\\Dunmere\\kelvane.xml", localAppDataFolder.c_str());
}

namespace {

XmlFormat settingsFormat() {
    XmlFormat format;
    format.prettyMode = 0;
    format.lineEnd = "\n";
    return format;
}

void writeTextList(XmlStreamWriter& writer, const char* listName, const char* itemName,
                   const std::set<std::string>& items) {
    if (items.empty()) {
        return;
    }
    writer.createElement(listName);
    for (const std::string& item : items) {
        writer.createElement(itemName);
        writer.setText(item);
        writer.back();
    }
    writer.back();
}

std::set<std::string> readTextList(const XmlNode& root, const char* listName,
                                   const char* itemName) {
    std::set<std::string> items;
    XmlCursor cursor(root);
    if (cursor.goDown(listName, 0)) {
        for (const XmlNode* item : cursor.current().childrenByName(itemName)) {
            items.insert(item->text());
        }
        cursor.back();
    }
    return items;
}

} // namespace

std::string settingsDocument(const Settings& settings, const BaselineWriter& baseline) {
    std::string bytes;
    XmlStreamWriter writer(std::make_unique<XmlStringOutput>(bytes), settingsFormat());
    writer.writeHeader(false);
    writer.createElement("kelvane");
    writer.setAttribute("version", settingsVersion);
    writer.createElement("ui");
    if (!settings.placement.empty()) {
        writer.setAttribute("window-pos", settings.placement);
    }
    writer.back();
    writeTextList(writer, "hostnames", "hostname", settings.computerHistory);
    writeTextList(writer, "search", "text", settings.searchHistory);
    writer.createElement("flags");
    writer.setAttribute("color-bkgnd", settings.colourBackground ? "true" : "false");
    writer.back();
    writer.createElement("last-entries");
    if (baseline) {
        baseline(writer);
    }
    writer.back();
    writeViewState(writer, settings.view);
    writer.back();
    writer.close();
    return bytes;
}

bool readSettingsDocument(const XmlDocument& document, Settings& settings,
                          const BaselineReader& baseline) {
    const XmlNode* root = document.element("kelvane");
    if (!root) {
        return true;
    }
    if (compareVersions(root->attribute("version"), settingsVersion) > 0) {
        return false;
    }
    XmlCursor cursor(*root);
    if (cursor.goDown("ui", 0)) {
        settings.placement = cursor.current().attribute("window-pos");
        cursor.back();
    }
    settings.computerHistory = readTextList(*root, "hostnames", "hostname");
    settings.searchHistory = readTextList(*root, "search", "text");
    if (cursor.goDown("flags", 0)) {
        settings.colourBackground =
            equalsIgnoringCase(cursor.current().attribute("color-bkgnd"), "true");
        cursor.back();
    }
    if (baseline && cursor.goDown("last-entries", 0)) {
        baseline(cursor.current());
        cursor.back();
    }
    settings.view = readViewState(*root);
    return true;
}

bool readSettingsFile(const std::string& path, Settings& settings, const BaselineReader& baseline) {
    XmlDocument document;
    if (!document.readFile(path)) {
        return false;
    }
    return readSettingsDocument(document, settings, baseline);
}

bool writeSettingsFile(const std::string& path, const Settings& settings,
                       const BaselineWriter& baseline, FileOps& ops) {
    const std::string bytes = settingsDocument(settings, baseline);
    if (!createFolderPath(folderOf(path), ops)) {
        return false;
    }
    return replaceFileContents(path, bytes, ops);
}

namespace {

BaselineWriter tableWriter(const ServiceTable& baseline) {
    return [&baseline](XmlStreamWriter& writer) { writeXml(baseline, writer); };
}

// Reads the rows and notes a table reader that gave up.
struct TableReader {
    ServiceTable& baseline;
    bool failed = false;

    void operator()(const XmlNode& lastEntries) {
        try {
            readXml(baseline, lastEntries);
        } catch (const Plinth::UserException&) {
            baseline.removeAllRows();
            failed = true;
        }
    }
};

} // namespace

std::string settingsDocument(const Settings& settings, const ServiceTable& baseline) {
    return settingsDocument(settings, tableWriter(baseline));
}

bool readSettingsDocument(const XmlDocument& document, Settings& settings, ServiceTable& baseline) {
    baseline.removeAllRows();
    TableReader reader{baseline};
    const bool read = readSettingsDocument(document, settings, std::ref(reader));
    return read && !reader.failed;
}

bool readSettingsFile(const std::string& path, Settings& settings, ServiceTable& baseline) {
    XmlDocument document;
    if (!document.readFile(path)) {
        return false;
    }
    return readSettingsDocument(document, settings, baseline);
}

bool writeSettingsFile(const std::string& path, const Settings& settings,
                       const ServiceTable& baseline, FileOps& ops) {
    return writeSettingsFile(path, settings, tableWriter(baseline), ops);
}

std::string placementText(const WindowPlacement& p) {
    return Plinth::formatText("%d/%d/%d/%d - %d", p.left, p.top, p.right, p.bottom, p.showCommand);
}

namespace {

// A decimal number with an optional minus sign that fits in an int.
bool takeInt(std::string_view& text, int& value) {
    size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (negative) {
        ++i;
    }
    const size_t digits = i;
    int64_t magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > int64_t(INT32_MAX) + 1) {
            return false;
        }
    }
    if (i == digits) {
        return false;
    }
    const int64_t result = negative ? -magnitude : magnitude;
    if (result > INT32_MAX || result < INT32_MIN) {
        return false;
    }
    value = static_cast<int>(result);
    text.remove_prefix(i);
    return true;
}

bool takeLiteral(std::string_view& text, std::string_view literal) {
    if (text.substr(0, literal.size()) != literal) {
        return false;
    }
    text.remove_prefix(literal.size());
    return true;
}

} // namespace

std::optional<WindowPlacement> parsePlacementText(std::string_view text) {
    WindowPlacement p;
    if (takeInt(text, p.left) && takeLiteral(text, "/") && takeInt(text, p.top) &&
        takeLiteral(text, "/") && takeInt(text, p.right) && takeLiteral(text, "/") &&
        takeInt(text, p.bottom) && takeLiteral(text, " - ") && takeInt(text, p.showCommand) &&
        text.empty()) {
        return p;
    }
    return std::nullopt;
}

} // namespace kelvane
