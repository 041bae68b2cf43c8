#pragma once
// The part of a refresh that runs while the reader reads: at every wait
// step the difference between the reader's table and the shown table is
// copied over and applied to the window's entries, so the list fills while
// the read goes on. The wait (on the reader's done event, dispatching
// window messages) is handed in, so the cycle runs without a window.
#include "inventory/ReaderState.h"
#include "inventory/ServiceEntries.h"

#include <functional>
#include <string>

namespace kelvane {

struct ShownTables {
    ServiceTable shown = ServiceColumns::newTable();
    ServiceTable baseline = ServiceColumns::newTable();
    bool baselineValid = false;
};

struct RefreshResult {
    bool completed = false; // false: the application is quitting
    int steps = 0;          // differences applied, empty ones not counted
    std::string errorText;  // the reader's, for the status line
};

// Runs after the read has been started (busy set): clears the change marks,
// then until the reader is neither busy nor has new data, waits one step
// (waitStep returns false when the application is quitting) and applies the
// difference. At the end of a read of the local computer that ended without
// an error, the shown table becomes the baseline. Lock order: reader lock,
// then table locks; the entries are changed after the reader lock has been
// left.
RefreshResult runRefreshCycle(ReaderState& reader, ShownTables& tables, bool isLocal,
                              ServiceEntries& entries, EntrySink& sink,
                              const std::function<bool()>& waitStep);

} // namespace kelvane
