#include "framework/win/MessageBoxes.h"

#include "framework/win/CriticalSection.h"

#include <memory>

namespace Plinth {

namespace {

// Held by shared pointer so a hook being replaced is not destroyed while
// another thread is still inside it.
std::shared_ptr<MessageBoxHook>& hookSlot() {
    static std::shared_ptr<MessageBoxHook> slot;
    return slot;
}

CriticalSection& hookLock() {
    static CriticalSection lock;
    return lock;
}

} // namespace

int showMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT style) {
    std::shared_ptr<MessageBoxHook> hook;
    {
        CriticalSectionGuard guard(hookLock());
        hook = hookSlot();
    }
    if (hook) {
        return (*hook)(owner, text, caption, style);
    }
    return MessageBoxA(owner, text.c_str(), caption.c_str(), style);
}

void setMessageBoxHook(MessageBoxHook hook) {
    auto next = hook ? std::make_shared<MessageBoxHook>(std::move(hook)) : nullptr;
    CriticalSectionGuard guard(hookLock());
    hookSlot() = std::move(next);
}

} // namespace Plinth
