#pragma once
// The per-user settings file: window placement, computer and search
// histories, the colouring switch and the baseline of service states; then
// how the user arranged the list.
#include "shell/FileOps.h"
#include "shell/ViewState.h"

#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>

namespace kelvane {

class ServiceTable;
class XmlDocument;
class XmlNode;
class XmlStreamWriter;

struct Settings {
    std::string placement; // "%d/%d/%d/%d - %d"; empty: centre the window
    std::set<std::string> computerHistory;
    std::set<std::string> searchHistory;
    bool colourBackground = true;
    ViewState view;

    // A placement just taken from the window replaces the stored one unless
    // the window could not report one.
    void takePlacement(const std::string& current);

    bool operator==(const Settings& other) const;
};

// The version written into the file and the newest one read.
inline constexpr const char* settingsVersion = "4.6";

// "%s\Dunmere\kelvane.xml" in the local application-data folder.
std::string settingsFilePath(const std::string& localAppDataFolder);

// The baseline's part of the file: written inside "last-entries", and read
// from that element. Empty functions leave the baseline out.
using BaselineWriter = std::function<void(XmlStreamWriter&)>;
using BaselineReader = std::function<void(const XmlNode& lastEntries)>;

// The whole file, one line and a final line end.
std::string settingsDocument(const Settings& settings, const BaselineWriter& baseline = {});

// Reads a parsed document into settings. False for a file of a newer program
// version, which leaves settings untouched.
bool readSettingsDocument(const XmlDocument& document, Settings& settings,
                          const BaselineReader& baseline = {});

// False when the file is missing, unreadable, malformed or newer; settings
// then keep what they held.
bool readSettingsFile(const std::string& path, Settings& settings,
                      const BaselineReader& baseline = {});

// Creates the folders and replaces the file whole; false when nothing could
// be written (the old file is then unchanged).
bool writeSettingsFile(const std::string& path, const Settings& settings,
                       const BaselineWriter& baseline = {}, FileOps& ops = platformFileOps());

// The same with the baseline table of the main window. Reading replaces the
// table's rows; a stored row that names a column the table lacks leaves the
// baseline empty and the read false, so that a damaged file cannot mark
// services nor keep the program from starting.
std::string settingsDocument(const Settings& settings, const ServiceTable& baseline);
bool readSettingsDocument(const XmlDocument& document, Settings& settings, ServiceTable& baseline);
bool readSettingsFile(const std::string& path, Settings& settings, ServiceTable& baseline);
bool writeSettingsFile(const std::string& path, const Settings& settings,
                       const ServiceTable& baseline, FileOps& ops = platformFileOps());

struct WindowPlacement {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int showCommand = 1; // 1 normal, 2 minimised, 3 maximised
};

std::string placementText(const WindowPlacement& placement);

// Exactly five numbers in the layout placementText writes; nothing else.
std::optional<WindowPlacement> parsePlacementText(std::string_view text);

} // namespace kelvane
