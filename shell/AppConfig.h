#pragma once
// The working configuration of a run, in three levels: where to connect, the
// run's options and histories, and the list filter's search text.
#include <set>
#include <string>

namespace kelvane {

struct ConnectionConfig {
    std::string computerName; // empty: the local computer
    std::string userName;
    std::string password;
};

struct OptionsConfig : ConnectionConfig {
    bool noPersist = false;
    bool noUpdate = false;
    std::set<std::string> computerHistory; // byte-wise ascending, no duplicates
    std::set<std::string> searchHistory;
};

struct AppConfig : OptionsConfig {
    std::string filterText;
};

} // namespace kelvane
