#include "tests/windows/support/DialogScript.h"

#include "framework/win/MessageBoxes.h"

#include <gtest/gtest.h>

namespace kelvane::test {

AnsweredBoxes::AnsweredBoxes(int answer) : answer(answer) {
    Plinth::setMessageBoxHook(
        [this](HWND owner, const std::string& text, const std::string& caption, UINT style) {
            std::lock_guard<std::mutex> guard(mutex_);
            boxes.push_back({text, caption, style, owner, GetCurrentThreadId()});
            return (style & MB_TYPEMASK) == MB_OK ? IDOK : this->answer.load();
        });
}

AnsweredBoxes::~AnsweredBoxes() {
    Plinth::setMessageBoxHook({});
}

namespace {

struct ScriptState {
    std::vector<std::pair<std::string, DialogScript::Step>> steps;
    size_t next = 0;
    int strayTicks = 0;
    UINT_PTR timer = 0;
};
ScriptState* script = nullptr;
const char scriptedMark[] = "KelvaneScripted";

std::string captionOf(HWND window) {
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

bool isOpenDialog(HWND window) {
    char kind[32] = {};
    GetClassNameA(window, kind, sizeof kind);
    return std::string(kind) == "#32770" && IsWindowVisible(window);
}

BOOL CALLBACK findDialog(HWND window, LPARAM found) {
    if (isOpenDialog(window) && !GetPropA(window, scriptedMark)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK scriptTick(HWND, UINT, UINT_PTR, DWORD) {
    HWND dialog = script ? openDialogOf(GetCurrentThreadId()) : nullptr;
    if (!dialog) {
        return;
    }
    bool expected = script->next < script->steps.size() &&
                    (script->steps[script->next].first == "*" ||
                     captionOf(dialog) == script->steps[script->next].first);
    if (!expected) {
        // A dialog nobody expected would hold the test for ever.
        if (++script->strayTicks > 200) {
            ADD_FAILURE() << "unexpected dialog \"" << captionOf(dialog) << "\" cancelled";
            SetPropA(dialog, scriptedMark, reinterpret_cast<HANDLE>(1));
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        }
        return;
    }
    script->strayTicks = 0;
    SetPropA(dialog, scriptedMark, reinterpret_cast<HANDLE>(1));
    DialogScript::Step step = script->steps[script->next++].second;
    step(dialog);
}

} // namespace

HWND openDialogOf(DWORD thread) {
    HWND dialog = nullptr;
    EnumThreadWindows(thread, findDialog, reinterpret_cast<LPARAM>(&dialog));
    return dialog;
}

DialogScript::DialogScript() {
    script = new ScriptState;
    script->timer = SetTimer(nullptr, 0, 25, scriptTick);
}

DialogScript::~DialogScript() {
    KillTimer(nullptr, script->timer);
    delete script;
    script = nullptr;
}

void DialogScript::expect(const std::string& caption, Step step) {
    script->steps.emplace_back(caption, std::move(step));
}

bool DialogScript::finished() const {
    return script->next == script->steps.size();
}

void click(HWND dialog, int id) {
    SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

std::string dialogText(HWND dialog, int id) {
    char text[1024] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

void setDialogText(HWND dialog, int id, const std::string& text) {
    SetDlgItemTextA(dialog, id, text.c_str());
}

} // namespace kelvane::test
