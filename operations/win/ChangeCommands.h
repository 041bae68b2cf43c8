#pragma once
// Remove, start type and kill process for the selected services, each after
// its safety question.
#include "operations/win/CommandHost.h"

#include <windows.h>

#include <string>

namespace kelvane {

// Asks question (a string id) with the caption "Safety Question", Yes and
// No and an exclamation mark; true for Yes.
bool askSafetyQuestion(CommandHost& host, unsigned question);

// Deletes the selected services, one connection each.
void removeSelected(CommandHost& host);

// Sets only the start type of the selected services (0 boot .. 4 disabled).
void setStartTypeSelected(CommandHost& host, DWORD startType);

// Ends the processes of the selected services, with the debugging privilege
// enabled for each termination alone. Raises when the thread's token cannot
// be had; a process that cannot be ended is reported and not counted.
void killSelected(CommandHost& host);

// Enables or disables one privilege of token; false when the privilege is
// unknown or the token could not be adjusted.
bool setPrivilege(HANDLE token, const char* name, bool enable);

} // namespace kelvane
