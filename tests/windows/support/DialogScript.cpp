#include "tests/windows/support/DialogScript.h"

#include <gtest/gtest.h>

namespace kelvane::test {

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

BOOL CALLBACK findDialog(HWND window, LPARAM found) {
    char kind[32] = {};
    GetClassNameA(window, kind, sizeof kind);
    if (std::string(kind) == "#32770" && IsWindowVisible(window) &&
        !GetPropA(window, scriptedMark)) {
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

} // namespace kelvane::test
