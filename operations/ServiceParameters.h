#pragma once
// The record the service parameters dialog edits, and the checks and
// corrections applied when the user presses OK.
#include <cstdint>
#include <functional>
#include <string>

namespace kelvane {

struct ServiceEntry;

struct ServiceParameters {
    std::string name;
    std::string displayName;
    std::string command;
    std::uint32_t serviceType = 0x10; // own process
    std::uint32_t startType = 2;      // automatic
    std::string account = "LocalSystem";
    std::string password;
    bool isNew = true;
};

// The record for editing a listed service. The stored password is never
// shown: it starts empty, which leaves it unchanged.
ServiceParameters parametersFromEntry(const ServiceEntry& entry);

constexpr std::uint32_t interactiveBit = 0x100;
constexpr std::uint32_t serviceTypeBits = 0x30; // own or shared process
constexpr std::uint32_t typeNoChange = 0xFFFFFFFF;

// The service type to send when an edited service is saved: chosenType is
// what the type list and the interactive box give. A service whose type has
// bits the dialog cannot show (the per-user services of current Windows)
// keeps them while its list entry was left alone, and a type that ends up
// as it was is not sent at all, so the manager cannot refuse or narrow it.
std::uint32_t typeToStore(std::uint32_t originalType, std::uint32_t chosenType);

// What the dialog's controls hold when OK is pressed.
struct ParameterFields {
    std::string name, displayName, command, account, password;
    bool interactive = false;
    std::uint32_t serviceType = 0; // item data of the selected type
    std::uint32_t startType = 0;   // item data of the selected start type
};

// Checks and completes the fields into the record under the context
// "Input validation": a missing name is taken from the display name and the
// other way round, an interactive service runs as "LocalSystem" without a
// password, and "LocalSystem" never keeps a password. Raises UserException
// with string 175 when both names are empty and 174 when the command is.
// The fields are updated too, so the dialog can show what was changed.
void validateParameters(ParameterFields& fields, ServiceParameters& record,
                        const std::function<std::string(unsigned id)>& loadString);

} // namespace kelvane
