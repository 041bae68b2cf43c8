#pragma once
// Which rights a connection has asked of the service control manager. An
// operation that needs rights already asked for keeps the open handle; one
// that needs only new rights reopens the manager with exactly those.
#include <cstdint>

namespace kelvane {

namespace managerRight {
constexpr std::uint32_t createService = 0x2;
constexpr std::uint32_t enumerate = 0x4;
constexpr std::uint32_t connectAndEnumerate = 0x5;
} // namespace managerRight

class ManagerRights {
public:
    // True when the manager must be (re)opened for these rights; they are
    // then recorded.
    bool request(std::uint32_t rights) {
        if (rights & recorded_) {
            return false;
        }
        recorded_ |= rights;
        return true;
    }
    // The reopening failed: no handle holds any right now.
    void forget() { recorded_ = 0; }
    std::uint32_t recorded() const { return recorded_; }

private:
    std::uint32_t recorded_ = 0;
};

} // namespace kelvane
