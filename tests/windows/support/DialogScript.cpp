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
    const bool open =
        std::string(kind) == "#32770" && IsWindowVisible(window) && !GetPropA(window, scriptedMark);
    if (open) {
        *reinterpret_cast<HWND*>(found) = window;
    }
    return !open;
}

void CALLBACK scriptTick(HWND, UINT, UINT_PTR, DWORD) {
    HWND dialog = script ? openDialogOf(GetCurrentThreadId()) : nullptr;
    const bool expected = dialog && script->next < script->steps.size() &&
                          captionOf(dialog) == script->steps[script->next].first;
    // A dialog nobody expected would hold the test for ever.
    if (!dialog || (!expected && ++script->strayTicks <= 200)) {
        return;
    }
    SetPropA(dialog, scriptedMark, reinterpret_cast<HANDLE>(1));
    if (!expected) {
        ADD_FAILURE() << "unexpected dialog \"" << captionOf(dialog) << "\" cancelled";
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        return;
    }
    script->strayTicks = 0;
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
