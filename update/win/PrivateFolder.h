#pragma once
// A new folder under the temporary folder that only the current user may
// enter. A downloaded setup waits there for its signature check: in the
// shared temporary folder another account could have put a file of that
// name first, or could swap it before it starts.
#include <string>

namespace kelvane {

// The folder namePrefix followed by random hex digits, made under parent
// with an access list of its own (the current user, full access, nothing
// inherited). Its path with a trailing backslash; empty when it could not be
// made.
std::string createPrivateFolder(const std::string& parent, const std::string& namePrefix);

} // namespace kelvane
