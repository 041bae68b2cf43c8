#pragma once
// Message boxes answered by the test and dialogs driven by scripted steps as
// they open, for tests that run the program's own dialogs.
#include "framework/win/MessageBoxes.h"

#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace kelvane::test {

// Answers every message box of the process, from any thread, and keeps what
// each showed: a box with only OK gets IDOK, any other gets answer. Read
// boxes once the threads that show them are done.
class AnsweredBoxes {
public:
    struct Box {
        std::string text, caption;
        UINT style;
        HWND owner;
        DWORD thread;
    };
    explicit AnsweredBoxes(int answer = IDOK) : answer(answer) {
        Plinth::setMessageBoxHook(
            [this](HWND owner, const std::string& text, const std::string& caption, UINT style) {
                std::lock_guard<std::mutex> guard(mutex_);
                boxes.push_back({text, caption, style, owner, GetCurrentThreadId()});
                return (style & MB_TYPEMASK) == MB_OK ? IDOK : this->answer.load();
            });
    }
    ~AnsweredBoxes() { Plinth::setMessageBoxHook({}); }
    std::atomic<int> answer;
    std::vector<Box> boxes;

private:
    std::mutex mutex_;
};

// Runs the steps, one per dialog of this thread as it opens (found by its
// caption), until every step ran. A step gets the dialog's handle.
class DialogScript {
public:
    using Step = std::function<void(HWND dialog)>;
    DialogScript();
    ~DialogScript();
    void expect(const std::string& caption, Step step);
    bool finished() const;
};

// A visible dialog or message box of the thread that no script took yet;
// null when there is none.
HWND openDialogOf(DWORD thread);

// Clicks a button of a dialog as the user would, through the control.
inline void click(HWND dialog, int id) {
    SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}
inline std::string dialogText(HWND dialog, int id) {
    char text[1024] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}
inline void setDialogText(HWND dialog, int id, const std::string& text) {
    SetDlgItemTextA(dialog, id, text.c_str());
}

} // namespace kelvane::test
