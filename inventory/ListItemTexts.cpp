#include "inventory/ListItemTexts.h"

namespace kelvane {

ListItemTexts listItemTexts(const ServiceEntry& entry, const FileDetails* details,
                            const ChangeWords& words) {
    ListItemTexts texts;
    const SharedText* own[] = {&entry.serviceName, &entry.displayName, &entry.typeText,
                               &entry.startText,   &entry.statusText,  &entry.pidText,
                               &entry.account,     &entry.command,     &entry.binaryPath,
                               &entry.timeText};
    for (std::size_t i = 0; i < std::size(own); ++i) {
        texts[i] = own[i]->str();
    }
    if (details) {
        texts[10] = details->fileTime;
        texts[11] = details->version;
        texts[12] = details->language;
        texts[13] = details->manufacturer;
        texts[14] = details->description;
        texts[15] = details->comment;
    }
    texts[listDescriptionColumn] = entry.description.str();
    texts[listDependenciesColumn] = entry.dependencies.str();
    texts[listNeededByColumn] = entry.neededBy.str();
    texts[listStartOptionsColumn] = entry.startOptions.str();
    texts[listOnFailureColumn] = entry.onFailure.str();
    if (entry.changed == changeMaskNew) {
        texts[listChangesColumn] = words.newEntry;
    } else if (entry.changed != 0) {
        texts[listChangesColumn] = words.changedEntry;
    }
    return texts;
}

} // namespace kelvane
