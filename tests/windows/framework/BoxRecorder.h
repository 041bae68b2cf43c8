#pragma once
// Answers every message box of the test process and keeps what it showed.
#include "framework/win/MessageBoxes.h"

#include <windows.h>

#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace kelvane::test {

struct ShownBox {
    HWND owner;
    std::string text;
    std::string caption;
    UINT style;
};

class BoxRecorder {
public:
    // whileShown runs inside the hook, before the box is answered.
    explicit BoxRecorder(std::function<void()> whileShown = {}) {
        Plinth::setMessageBoxHook([this, whileShown](HWND owner, const std::string& text,
                                                     const std::string& caption, UINT style) {
            {
                std::lock_guard<std::mutex> guard(mutex_);
                boxes_.push_back({owner, text, caption, style});
            }
            if (whileShown) {
                whileShown();
            }
            return IDOK;
        });
    }
    ~BoxRecorder() { Plinth::setMessageBoxHook({}); }

    std::vector<ShownBox> boxes() const {
        std::lock_guard<std::mutex> guard(mutex_);
        return boxes_;
    }

private:
    mutable std::mutex mutex_;
    std::vector<ShownBox> boxes_;
};

} // namespace kelvane::test
