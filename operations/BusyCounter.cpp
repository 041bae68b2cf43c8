#include "operations/BusyCounter.h"

namespace kelvane {

BusyCounter::BusyCounter(std::function<void(bool)> updateButtons)
    : updateButtons_(std::move(updateButtons)) {}

void BusyCounter::beginBusy() {
    ++count_;
    if (updateButtons_) {
        updateButtons_(true);
    }
}

void BusyCounter::endBusy() {
    // An unmatched end must not leave the window busy for ever after.
    if (count_ == 0) {
        return;
    }
    if (--count_ == 0 && updateButtons_) {
        updateButtons_(false);
    }
}

} // namespace kelvane
