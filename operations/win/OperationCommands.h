#pragma once
// One entry for the main window's command handler: every button, menu and
// context-menu command of the service operations, by its id.
#include "operations/win/CommandHost.h"

namespace kelvane {

// Runs the command with id and returns true, or returns false for an id that
// is not a service operation. Edit (32787) and the list's double-click need
// the entry at the selection mark: call editServiceCommand for them. A
// command may raise (the kill command when the thread's token cannot be
// had): run it inside the window's failure guard.
bool runOperationCommand(CommandHost& host, int commandId);

} // namespace kelvane
