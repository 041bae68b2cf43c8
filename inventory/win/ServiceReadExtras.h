#pragma once
// The further configuration of a service that the columns after the
// seventeen show: its description, delayed and trigger start, and recovery
// actions, each a level of QueryServiceConfig2A. A system may refuse any
// level (an older Windows, Wine, a remote computer, missing rights): a
// refused level leaves its part empty and the rest of the row whole.
#include "inventory/RowBuilder.h"
#include "inventory/win/ServiceConfigSource.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace kelvane {

// Reads the levels of one service after another into one buffer, which
// grows as the system asks and is kept for the whole read.
class ExtrasReader {
public:
    using TextResolver = std::function<std::string(const std::string&)>;
    // source: nullptr for the system's. resolveIndirect turns a description of
    // the form "@file,-id" into the text it names; nullptr keeps it as it
    // stands (the files of a remote computer are not ours to load).
    explicit ExtrasReader(ServiceConfigSource* source = nullptr,
                          TextResolver resolveIndirect = nullptr);

    // automaticStart: the configured start type is automatic, the only one
    // that a delayed start changes, so the level is asked for only then.
    ServiceExtras read(SC_HANDLE service, bool automaticStart);

private:
    // The level's structure at the start of the buffer, or nullptr when the
    // system refused it.
    const BYTE* query(SC_HANDLE service, DWORD level);

    ServiceConfigSource& source_;
    TextResolver resolveIndirect_;
    std::vector<BYTE> buffer_;
};

// A description of the form "@file,-id": string id of the file's resources,
// as the services console shows it; the text unchanged when it is not of
// that form or cannot be loaded.
std::string resolveIndirectText(const std::string& text);

} // namespace kelvane
