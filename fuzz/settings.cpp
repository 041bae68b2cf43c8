// Any settings file the reader accepts must survive being written and read
// again: after one round the record and the baseline are a fixed point.
#include "inventory/ServiceColumns.h"
#include "shell/Settings.h"
#include "xml/XmlDocument.h"

#include <cstddef>
#include <cstdint>

namespace {

struct Stored {
    kelvane::Settings settings;
    kelvane::ServiceTable baseline = kelvane::ServiceColumns::newTable();
};

void roundTrip(const Stored& from, Stored& to) {
    kelvane::XmlDocument document;
    if (!document.readBytes(kelvane::settingsDocument(from.settings, from.baseline), "written"))
        __builtin_trap();
    if (!kelvane::readSettingsDocument(document, to.settings, to.baseline))
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    kelvane::XmlDocument document;
    if (!document.readBytes(std::string_view(reinterpret_cast<const char*>(data), size), "fuzz"))
        return 0;
    Stored read;
    if (!kelvane::readSettingsDocument(document, read.settings, read.baseline))
        return 0;
    (void)kelvane::parsePlacementText(read.settings.placement);
    // Control bytes, trailing blanks and number forms change on the first
    // round only.
    Stored once, twice;
    roundTrip(read, once);
    roundTrip(once, twice);
    if (!(twice.settings == once.settings) ||
        kelvane::ServiceTable::diff(twice.baseline, once.baseline).rowCount() != 0)
        __builtin_trap();
    return 0;
}
