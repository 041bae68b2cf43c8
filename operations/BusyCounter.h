#pragma once
// The main window's busy counter: while a service operation runs, the
// action buttons stay disabled and the status queries do nothing.
#include <functional>

namespace kelvane {

class BusyCounter {
public:
    // updateButtons(true) disables every action, updateButtons(false)
    // enables them for the entry selected now.
    explicit BusyCounter(std::function<void(bool busy)> updateButtons);

    void beginBusy();
    void endBusy();
    bool busy() const { return count_ != 0; }

private:
    std::function<void(bool)> updateButtons_;
    int count_ = 0;
};

// Raises the counter for one scope, also when the operation throws.
class BusyScope {
public:
    explicit BusyScope(BusyCounter& counter) : counter_(counter) { counter_.beginBusy(); }
    ~BusyScope() { counter_.endBusy(); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    BusyCounter& counter_;
};

} // namespace kelvane
