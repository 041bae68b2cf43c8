#include "framework/win/ShellOpen.h"

#include <shellapi.h>

namespace Plinth {

bool shellExecute(HWND owner, const std::string& target, const ShellRequest& request) {
    SHELLEXECUTEINFOA execute{};
    execute.cbSize = sizeof execute;
    execute.fMask = SEE_MASK_NOASYNC | request.extraFlags;
    execute.hwnd = owner;
    execute.lpVerb = request.verb;
    execute.lpFile = target.c_str();
    execute.lpParameters = request.parameters.empty() ? nullptr : request.parameters.c_str();
    execute.nShow = SW_SHOWNORMAL;
    return ShellExecuteExA(&execute) != FALSE;
}

} // namespace Plinth
