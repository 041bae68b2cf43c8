#pragma once
#include <string>

namespace kelvane {

// The hand-over file that the update download leaves in the temporary folder.
std::string handOverFilePath();

// The clean-up run after an update: schedules the downloaded setup named in
// the hand-over file, and its download folder, for deletion at the next
// restart. 0 when a file was scheduled, 1 otherwise.
int runPostUpdateCleanUp();

} // namespace kelvane
