#pragma once
// The main window's entries, one per service it knows, and how a
// difference of the reader's table changes them. The list control is told
// through a sink, so the rules run and are tested without a window.
#include "inventory/ServiceEntry.h"
#include "inventory/ServiceTable.h"

#include <map>
#include <mutex>
#include <string>

namespace kelvane {

class EntrySink {
public:
    virtual ~EntrySink() = default;
    // A new entry, to be offered to the list through the filter.
    virtual void entryAdded(int number, const ServiceEntry& entry) = 0;
    // An existing entry whose fields were overwritten.
    virtual void entryChanged(int number, const ServiceEntry& entry) = 0;
    // The entry is gone; its item leaves the list.
    virtual void entryRemoved(int number, const ServiceEntry& entry) = 0;
    // Around the changes of one difference, so a list can redraw once.
    virtual void batchBegins() {}
    virtual void batchEnds() {}
};

// For entries that no list shows (a headless export, tests).
class NullEntrySink : public EntrySink {
public:
    void entryAdded(int, const ServiceEntry&) override {}
    void entryChanged(int, const ServiceEntry&) override {}
    void entryRemoved(int, const ServiceEntry&) override {}
};

class ServiceEntries {
public:
    using Map = std::map<int, ServiceEntry>; // entry number to entry
    using Mutex = std::recursive_mutex;

    Mutex& mutex() const { return mutex_; }
    // Valid while the caller holds mutex().
    const Map& entries() const { return entries_; }
    const ServiceEntry* find(int number) const;
    // The number of the entry with exactly this service name, 0 when none.
    int numberOf(const SharedText& serviceName) const;

    // Before each refresh: every entry counts as unchanged again.
    void clearChangeMarks();

    // The icon cache's result for an entry; nothing when the entry is gone.
    void setIconIndex(int number, std::int32_t iconIndex);

    // Applies the rows of a difference table in key order: removed rows drop
    // their entries, the others are marked against the baseline when one is
    // given (the local computer with a valid baseline) and then add or
    // update their entries. Locks this, then diffTable, then baseline.
    void applyDifference(const ServiceTable& diffTable, const ServiceTable* baseline,
                         EntrySink& sink);

    // Makes the entry of the row's service anew from row, keeping its icon.
    // Returns its number and a copy in updated, or 0 when the service has no
    // entry.
    int updateFromRow(const TableRow& row, ServiceEntry& updated);

    void clear();

private:
    void addOrUpdate(const TableRow& row, EntrySink& sink);

    mutable Mutex mutex_;
    Map entries_;
    // Finds an entry by name without a scan; the list of a large server holds
    // thousands of services and each refresh step looks up every changed one.
    std::map<SharedText, int> numbersByName_;
    int counter_ = 0; // numbers are never reused while the window lives
};

} // namespace kelvane
