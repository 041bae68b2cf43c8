// What OK in the service parameters dialog makes of the typed values.
#include "operations/ServiceParameters.h"

#include "framework/Exception.h"

#include <gtest/gtest.h>

using namespace kelvane;

TEST(ServiceParametersTest, TypedValuesBecomeTheRecordOrFailUnderInputValidation) {
    const auto texts = [](unsigned id) {
        return id == 174 ? "missing command" : id == 175 ? "missing service name" : "?";
    };
    const struct {
        const char *name, *display, *command;
        std::uint32_t type;
        bool interactive;
        const char *account, *password;
        // What comes out: the names, the type, the account and password, or
        // the failure.
        const char *storedName, *storedDisplay;
        std::uint32_t storedType;
        const char *storedAccount, *storedPassword, *failure;
    } cases[] = {
        {"", "My Service", "svc.exe", 0x10, false, ".\\u", "pw",
         "My Service", "My Service", 0x10, ".\\u", "pw", ""},
        // Interactive services run as LocalSystem, without a password;
        // drivers never get the interactive bit.
        {"svc", "S", "svc.exe", 0x10, true, "DOMAIN\\someone", "secret",
         "svc", "S", 0x110, "LocalSystem", "", ""},
        {"drv", "D", "drv.sys", 0x01, true, "", "",
         "drv", "D", 0x01, "", "", ""},
        {"svc", "S", "svc.exe", 0x10, false, "localsystem", "secret",
         "svc", "S", 0x10, "localsystem", "", ""},
        {"svc", "S", "svc.exe", 0x10, false, "localsystem2", "secret",
         "svc", "S", 0x10, "localsystem2", "secret", ""},
        {"", "", "svc.exe", 0x10, false, "", "", "", "", 0, "", "",
         "Input validation: missing service name"},
        {"svc", "", "", 0x10, false, "", "", "", "", 0, "", "",
         "Input validation: missing command"},
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
        std::string failure;
        try {
            validateParameters(fields, record, texts);
        } catch (const Plinth::Exception& e) {
            failure = e.context().contextText() + ": " + e.getMessage();
        }
        EXPECT_EQ(failure, c.failure) << c.name << "/" << c.display;
        if (failure.empty()) { // the dialog shows the copied name and account
            EXPECT_EQ(
                (std::vector<std::string>{record.name, record.displayName, fields.displayName,
                                          record.account, fields.account, record.password}),
                (std::vector<std::string>{c.storedName, c.storedDisplay, c.storedDisplay,
                                          c.storedAccount, c.storedAccount, c.storedPassword}));
            EXPECT_EQ(record.serviceType, c.storedType) << c.name;
            EXPECT_EQ(record.startType, 3u);
        }
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
