#pragma once
// Message boxes answered by the test and dialogs driven by scripted steps as
// they open, for tests that run the program's own dialogs.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace kelvane::test {

// Answers every message box with answer and keeps what each showed.
class AnsweredBoxes {
public:
    struct Box {
        std::string text, caption;
        UINT style;
    };
    explicit AnsweredBoxes(int answer);
    ~AnsweredBoxes();
    std::vector<Box> boxes;
};

// Runs the steps, one per dialog of this thread as it opens (found by its
// caption; "*" takes any), until every step ran. A step gets the dialog's handle.
class DialogScript {
public:
    using Step = std::function<void(HWND dialog)>;
    DialogScript();
    ~DialogScript();
    void expect(const std::string& caption, Step step);
    bool finished() const;
    int dialogsSeen() const;
};

// Clicks a button of a dialog as the user would, through the control.
void click(HWND dialog, int id);
std::string dialogText(HWND dialog, int id);
void setDialogText(HWND dialog, int id, const std::string& text);

} // namespace kelvane::test
