// Any settings file the reader accepts must survive being written and read
// again: after one round the record is a fixed point.
#include "shell/Settings.h"
#include "xml/XmlDocument.h"

#include <cstddef>
#include <cstdint>

namespace {

kelvane::Settings roundTrip(const kelvane::Settings& settings) {
    kelvane::XmlDocument document;
    if (!document.readBytes(kelvane::settingsDocument(settings), "written"))
        __builtin_trap();
    kelvane::Settings read;
    if (!kelvane::readSettingsDocument(document, read))
        __builtin_trap();
    return read;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    kelvane::XmlDocument document;
    if (!document.readBytes(std::string_view(reinterpret_cast<const char*>(data), size), "fuzz"))
        return 0;
    kelvane::Settings settings;
    if (!kelvane::readSettingsDocument(document, settings))
        return 0;
    (void)kelvane::parsePlacementText(settings.placement);
    // Control bytes and trailing blanks change on the first round only.
    const kelvane::Settings once = roundTrip(settings);
    if (!(roundTrip(once) == once))
        __builtin_trap();
    return 0;
}
