#include "operations/ServiceParameters.h"

#include "framework/ErrorContext.h"
#include "framework/Exception.h"
#include "inventory/ServiceEntry.h"

#include <algorithm>
#include <cctype>

namespace kelvane {

namespace {

bool isLocalSystem(const std::string& account) {
    static const std::string localSystem = "localsystem";
    return account.size() == localSystem.size() &&
           std::equal(account.begin(), account.end(), localSystem.begin(),
                      [](unsigned char a, char b) { return std::tolower(a) == b; });
}

} // namespace

ServiceParameters parametersFromEntry(const ServiceEntry& entry) {
    ServiceParameters record;
    record.name = entry.serviceName.str();
    record.displayName = entry.displayName.str();
    record.command = entry.command.str();
    record.serviceType = static_cast<std::uint32_t>(entry.type);
    record.startType = static_cast<std::uint32_t>(entry.startType);
    record.account = entry.account.str();
    record.password.clear();
    record.isNew = false;
    return record;
}

std::uint32_t typeToStore(std::uint32_t originalType, std::uint32_t chosenType) {
    constexpr std::uint32_t listBits = 0x3F; // what the type list shows
    const std::uint32_t unseen = originalType & ~(listBits | interactiveBit);
    if (chosenType != typeNoChange && (chosenType & listBits) == (originalType & listBits)) {
        chosenType |= unseen;
    }
    return chosenType == originalType ? typeNoChange : chosenType;
}

void validateParameters(ParameterFields& fields, ServiceParameters& record,
                        const std::function<std::string(unsigned id)>& loadString) {
    Plinth::ErrorContext context("Input validation");
    if (!fields.name.empty() && fields.displayName.empty()) {
        fields.displayName = fields.name;
    } else if (fields.name.empty() && !fields.displayName.empty()) {
        fields.name = fields.displayName;
    } else if (fields.name.empty()) {
        throw Plinth::UserException(loadString(175));
    }
    if (fields.command.empty()) {
        throw Plinth::UserException(loadString(174));
    }
    record.name = fields.name;
    record.displayName = fields.displayName;
    record.command = fields.command;
    record.serviceType = fields.serviceType;
    record.startType = fields.startType;
    if (fields.interactive && (record.serviceType & serviceTypeBits)) {
        record.serviceType |= interactiveBit;
        fields.account = "LocalSystem";
        fields.password.clear();
    }
    if (isLocalSystem(fields.account) && !fields.password.empty()) {
        fields.password.clear();
    }
    record.account = fields.account;
    record.password = fields.password;
}

} // namespace kelvane
