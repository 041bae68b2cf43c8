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
    const struct {
        const char *name, *display, *command;
        std::uint32_t type;
        bool interactive;
        const char *account, *password;
        const char* stored; // name|display|type|account|password, or the failure
    } cases[] = {
        {"", "My Service", "svc.exe", 0x10, false, ".\\u", "pw", "My Service|My Service|16|.\\u|pw"},
        {"svc", "S", "svc.exe", 0x10, true, "DOMAIN\\someone", "secret", "svc|S|272|LocalSystem|"},
        {"drv", "D", "drv.sys", 0x01, true, "", "", "drv|D|1||"},
        {"svc", "S", "svc.exe", 0x10, false, "localsystem", "secret", "svc|S|16|localsystem|"},
        {"svc", "S", "svc.exe", 0x10, false, "localsystem2", "secret", "svc|S|16|localsystem2|secret"},
        {"", "", "svc.exe", 0x10, false, "", "", "Input validation: missing service name"},
        {"svc", "", "", 0x10, false, "", "", "Input validation: missing command"},
    };
    for (const auto& c : cases) {
        ParameterFields fields;
        fields.name = c.name;
        fields.displayName = c.display;
        fields.command = c.command;
        fields.serviceType = c.type;
        fields.interactive = c.interactive;
        fields.account = c.account;
        fields.password = c.password;
        fields.startType = 3;
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
        EXPECT_EQ(stored, c.stored) << c.name << "/" << c.display;
    }
}

TEST(ServiceParametersTest, TypeBitsTheDialogCannotShowAreKept) {
    struct Case {
        std::uint32_t original, chosen, stored;
    };
    const Case cases[] = {
        {0x50, 0x10, typeNoChange}, // per-user own process, list left alone
        {0x50, 0x20, 0x20},         // another list entry: what the user chose
        {0x50, 0x110, 0x150},       // only the interactive box changed
        {0x110, 0x10, 0x10},        // interactive cleared
        {0x3, typeNoChange, typeNoChange}, // no list entry fits: no change
    };
    for (const Case& c : cases) {
        EXPECT_EQ(typeToStore(c.original, c.chosen), c.stored)
            << std::hex << c.original << " " << c.chosen;
    }
}
