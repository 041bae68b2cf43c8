#include "inventory/IconPass.h"

#include <vector>

namespace kelvane {

std::int32_t resolveIcon(const ServiceEntry& entry, const IconPassTools& tools) {
    if (entry.iconIndex != -1) {
        return entry.iconIndex;
    }
    std::int32_t index = entry.typeImage;
    if (entry.binaryPath.empty() || !tools.hostIsLocal) {
        return index;
    }
    std::string path = entry.binaryPath.str();
    std::int32_t stored = tools.catalog.lookup(path);
    if (stored != -1) {
        return stored;
    }
    if (tools.extract) {
        if (std::optional<IconImage> image = tools.extract(path)) {
            return tools.catalog.append(path, *image);
        }
    }
    return index;
}

bool runIconPass(ServiceEntries& entries, const IconPassTools& tools) {
    std::vector<std::pair<int, ServiceEntry>> snapshot;
    {
        std::lock_guard<ServiceEntries::Mutex> guard(entries.mutex());
        snapshot.assign(entries.entries().begin(), entries.entries().end());
    }
    for (const auto& [number, entry] : snapshot) {
        if (tools.stopRequested && tools.stopRequested()) {
            return false;
        }
        if (!entry.binaryPath.empty()) {
            tools.details.readOnce(entry.binaryPath.str(),
                                   tools.hostIsLocal ? tools.readDetails : nullptr);
        }
        entries.setIconIndex(number, resolveIcon(entry, tools));
    }
    return true;
}

std::int32_t cachedIcon(const ServiceEntry& entry, IconCatalog& catalog, std::int32_t shownCount) {
    if (entry.binaryPath.empty()) {
        return entry.typeImage;
    }
    std::int32_t stored = catalog.lookup(entry.binaryPath.str());
    return stored != -1 && stored < shownCount ? stored : entry.typeImage;
}

} // namespace kelvane
