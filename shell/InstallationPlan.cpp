#include "shell/InstallationPlan.h"

namespace kelvane {

std::string uninstallKeyPath(const std::string& product) {
    return "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + product;
}

namespace {
std::string quoted(const std::string& path) {
    return "\"" + path + "\"";
}
} // namespace

std::vector<std::pair<std::string, std::string>> registrationValues(const std::string& product,
                                                                    const std::string& program) {
    return {{"DisplayName", product},
            {"DisplayIcon", program},
            {"UninstallString", quoted(program) + " -uninstall"}};
}

std::string trayCommandLine(const std::string& program) {
    return quoted(program) + " -tray";
}

std::string pathInFolder(const std::string& folder, const std::string& name) {
    std::string path = folder;
    if (!path.empty() && path.back() != '\\' && path.back() != '/') {
        path += '\\';
    }
    return path + name;
}

std::string shortcutPath(const std::string& folder, const std::string& product) {
    return pathInFolder(folder, product + ".lnk");
}

std::string programFolder(const std::string& program) {
    size_t separator = program.find_last_of("\\/");
    if (separator == std::string::npos) {
        // A bare drive ("C:kelvane.exe") or a bare name.
        return program.size() >= 2 && program[1] == ':' ? program.substr(0, 2) : std::string();
    }
    std::string folder = program.substr(0, separator);
    if (folder.size() == 2 && folder[1] == ':') {
        folder += program[separator];
    }
    return folder;
}

} // namespace kelvane
