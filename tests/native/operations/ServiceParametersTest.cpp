// What OK in the service parameters dialog makes of the typed values.
#include "operations/ServiceParameters.h"

#include "framework/Exception.h"

#include <gtest/gtest.h>

using namespace kelvane;

// A display name alone names the service; interactive services run as
// LocalSystem without a password; drivers never get the interactive bit.
TEST(ServiceParametersTest, TypedValuesBecomeTheRecordOrFailUnderInputValidation) {
    const auto texts = [](unsigned id) {
        return id == 174 ? "missing command" : id == 175 ? "missing service name" : "?";
    };
    // name, display name, command, account, password, interactive, type, start type
    const std::pair<ParameterFields, const char*> cases[] = {
        {{"", "My Service", "svc.exe", ".\\u", "pw", false, 0x10, 3},
         "My Service|My Service|16|.\\u|pw"},
        {{"svc", "S", "svc.exe", "DOMAIN\\someone", "secret", true, 0x10, 3},
         "svc|S|272|LocalSystem|"},
        {{"drv", "D", "drv.sys", "", "", true, 0x01, 3}, "drv|D|1||"},
        {{"svc", "S", "svc.exe", "localsystem", "secret", false, 0x10, 3}, "svc|S|16|localsystem|"},
        {{"svc", "S", "svc.exe", "localsystem2", "secret", false, 0x10, 3},
         "svc|S|16|localsystem2|secret"},
        {{"", "", "svc.exe", "", "", false, 0x10, 3}, "Input validation: missing service name"},
        {{"svc", "", "", "", "", false, 0x10, 3}, "Input validation: missing command"},
    };
    for (const auto& [typed, expected] : cases) {
        ParameterFields fields = typed;
        ServiceParameters record;
        std::string stored;
        try {
            validateParameters(fields, record, texts);
            // The dialog shows the copied display name and account.
            EXPECT_EQ(fields.displayName + fields.account, record.displayName + record.account);
            stored = record.name + "|" + record.displayName + "|" +
                     std::to_string(record.serviceType) + "|" + record.account + "|" +
                     record.password;
        } catch (const Plinth::Exception& e) {
            stored = e.context().contextText() + ": " + e.getMessage();
        }
        EXPECT_EQ(stored, expected) << typed.name << "/" << typed.displayName;
    }
}

TEST(ServiceParametersTest, TypeBitsTheDialogCannotShowAreKept) {
    struct Case {
        std::uint32_t original, chosen, stored;
    };
    const Case cases[] = {
        {0x50, 0x10, typeNoChange},        // per-user own process, list left alone
        {0x50, 0x20, 0x20},                // another list entry: what the user chose
        {0x50, 0x110, 0x150},              // only the interactive box changed
        {0x110, 0x10, 0x10},               // interactive cleared
        {0x3, typeNoChange, typeNoChange}, // no list entry fits: no change
    };
    for (const Case& c : cases) {
        EXPECT_EQ(typeToStore(c.original, c.chosen), c.stored)
            << std::hex << c.original << " " << c.chosen;
    }
}
