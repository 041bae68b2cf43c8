// What OK in the service parameters dialog makes of the typed values.
#include "operations/ServiceParameters.h"

#include "framework/Exception.h"
#include "inventory/ServiceEntry.h"

#include <gtest/gtest.h>

using namespace kelvane;

namespace {

std::string texts(unsigned id) {
    return id == 174 ? "missing command" : id == 175 ? "missing service name" : "?";
}

ParameterFields typed(std::string name, std::string display, std::string command) {
    ParameterFields fields;
    fields.name = std::move(name);
    fields.displayName = std::move(display);
    fields.command = std::move(command);
    fields.account = "LocalSystem";
    fields.serviceType = 0x10;
    fields.startType = 3;
    return fields;
}

std::string failureOf(ParameterFields fields) {
    ServiceParameters record;
    try {
        validateParameters(fields, record, texts);
    } catch (const Plinth::Exception& e) {
        return e.context().contextText() + ": " + e.getMessage();
    }
    return "";
}

} // namespace

TEST(ServiceParametersTest, OneNameServesForBoth) {
    ServiceParameters record;
    ParameterFields onlyDisplay = typed("", "My Service", "svc.exe");
    validateParameters(onlyDisplay, record, texts);
    EXPECT_EQ(record.name, "My Service");
    EXPECT_EQ(onlyDisplay.name, "My Service") << "the dialog shows the copied value";

    ParameterFields onlyName = typed("svc", "", "svc.exe");
    validateParameters(onlyName, record, texts);
    EXPECT_EQ(record.displayName, "svc");
    EXPECT_EQ(record.startType, 3u);
}

TEST(ServiceParametersTest, MissingValuesFailUnderInputValidation) {
    EXPECT_EQ(failureOf(typed("", "", "svc.exe")), "Input validation: missing service name");
    EXPECT_EQ(failureOf(typed("svc", "", "")), "Input validation: missing command");
    EXPECT_EQ(failureOf(typed("svc", "Svc", "svc.exe")), "");
}

TEST(ServiceParametersTest, InteractiveServicesRunAsLocalSystemWithoutPassword) {
    ParameterFields fields = typed("svc", "", "svc.exe");
    fields.interactive = true;
    fields.account = "DOMAIN\\someone";
    fields.password = "secret";
    ServiceParameters record;
    validateParameters(fields, record, texts);
    EXPECT_EQ(record.serviceType, 0x110u);
    EXPECT_EQ(record.account, "LocalSystem");
    EXPECT_EQ(record.password, "");
    EXPECT_EQ(fields.account, "LocalSystem");

    ParameterFields driver = typed("drv", "", "drv.sys");
    driver.serviceType = 0x01;
    driver.interactive = true;
    validateParameters(driver, record, texts);
    EXPECT_EQ(record.serviceType, 0x01u) << "drivers never get the interactive bit";
}

TEST(ServiceParametersTest, LocalSystemInAnyCaseDropsThePassword) {
    ParameterFields fields = typed("svc", "", "svc.exe");
    fields.account = "localsystem";
    fields.password = "secret";
    ServiceParameters record;
    validateParameters(fields, record, texts);
    EXPECT_EQ(record.password, "");
    EXPECT_EQ(record.account, "localsystem");

    ParameterFields other = typed("svc", "", "svc.exe");
    other.account = ".\\admin";
    other.password = "secret";
    validateParameters(other, record, texts);
    EXPECT_EQ(record.password, "secret");
}

TEST(ServiceParametersTest, EditingStartsFromTheEntryWithoutAPassword) {
    ServiceEntry entry;
    entry.serviceName = "Spooler";
    entry.displayName = "Print Spooler";
    entry.command = "C:\\Windows\\System32\\spoolsv.exe";
    entry.account = ".\\printer";
    entry.type = 0x110;
    entry.startType = 2;
    ServiceParameters record = parametersFromEntry(entry);
    EXPECT_FALSE(record.isNew);
    EXPECT_EQ(record.name, "Spooler");
    EXPECT_EQ(record.displayName, "Print Spooler");
    EXPECT_EQ(record.command, "C:\\Windows\\System32\\spoolsv.exe");
    EXPECT_EQ(record.account, ".\\printer");
    EXPECT_EQ(record.serviceType, 0x110u);
    EXPECT_EQ(record.startType, 2u);
    EXPECT_TRUE(record.password.empty());
}

TEST(ServiceParametersTest, TypeBitsTheDialogCannotShowAreKept) {
    struct Case {
        std::uint32_t original, chosen, stored;
    };
    const Case cases[] = {
        {0x50, 0x10, typeNoChange}, // per-user own process, list left alone
        {0x60, 0x20, typeNoChange}, // per-user shared process
        {0x50, 0x20, 0x20},         // another list entry: what the user chose
        {0x50, 0x110, 0x150},       // only the interactive box changed
        {0x10, 0x10, typeNoChange}, // nothing changed: nothing to send
        {0x10, 0x20, 0x20},
        {0x110, 0x10, 0x10},               // interactive cleared
        {0x3, typeNoChange, typeNoChange}, // no list entry fits: no change
    };
    for (const Case& c : cases) {
        EXPECT_EQ(typeToStore(c.original, c.chosen), c.stored)
            << std::hex << c.original << " " << c.chosen;
    }
}
