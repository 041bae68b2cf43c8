// "kelvane.exe export=PATH": the real program writes the services and
// drivers that Wine's manager lists, marked against the previous run, and
// says on its console why it could not. The columns and their texts are
// ServiceExportTest's.
#include "tests/windows/support/HostChecker.h"
#include "tests/windows/support/TestPaths.h"
#include "tests/windows/support/SettingsFileAside.h"
#include "tests/windows/support/TestServices.h"

#include "framework/win/UniqueHandle.h"
#include "framework/Exception.h"
#include "framework/win/ModuleResources.h"
#include "shell/win/HeadlessExport.h"
#include "shell/win/ServiceDatabaseKey.h"

#include <future>

using namespace kelvane;
using namespace kelvane::test;

namespace {

// Every service and driver the list can show (adapters never show), joined
// by commas.
std::string managerServiceNames() {
    std::string names;
    Plinth::UniqueServiceHandle manager(
        OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ENUMERATE_SERVICE));
    std::vector<BYTE> buffer(1 << 20);
    DWORD needed = 0, count = 0, resume = 0;
    EnumServicesStatusExA(manager.get(), SC_ENUM_PROCESS_INFO, SERVICE_WIN32 | SERVICE_DRIVER,
                          SERVICE_STATE_ALL, buffer.data(), static_cast<DWORD>(buffer.size()),
                          &needed, &count, &resume, nullptr); // a failure leaves count at 0
    auto* entries = reinterpret_cast<ENUM_SERVICE_STATUS_PROCESSA*>(buffer.data());
    for (DWORD i = 0; i < count; ++i) {
        if (entries[i].ServiceStatusProcess.dwServiceType & ~SERVICE_ADAPTER) {
            names += std::string(names.empty() ? "" : ",") + entries[i].lpServiceName;
        }
    }
    return names;
}

// Python's csv and xlrd read the two files: argv: csv, xls, a kernel driver,
// a service with the description below, a new service, a changed one, the
// names the manager lists. The csv carries the marks of its run.
const char* kDescription = "Keeps \"things\"; going";
const char* kExportChecker = R"(
import csv, os, sys, traceback, xlrd
csv_path, xls_path, driver, service, fresh, changed, names, result = sys.argv[1:9]
def check(kind, rows):
    named = {row[0]: row for row in rows[1:]}
    wanted = [(driver, 2, 'Kernel driver'), (service, 17, 'Keeps "things"; going')]
    if kind == 'csv':
        if set(named) != set(names.split(',')):
            return 'csv lists other services: %r' % (set(named) ^ set(names.split(',')))
        wanted += [(fresh, 16, 'new'), (changed, 16, 'changed'), (service, 16, '')]
    for name, column, text in wanted:
        got = named[name][column] if name in named else None
        if got != text:
            return '%s: %s column %d is %r, not %r' % (kind, name, column, got, text)
    bad = [cell for row in rows for cell in row if any(ord(c) < 32 and c != '\t' for c in cell)]
    return '%s: control bytes in %r' % (kind, bad) if bad else None
try:
    rows = list(csv.reader(open(csv_path, newline='', encoding='latin-1'), delimiter=';'))
    sheet = xlrd.open_workbook(xls_path).sheet_by_index(0)
    verdict = check('csv', [row[:-1] for row in rows]) or \
        check('xls', [[str(v) for v in sheet.row_values(r)] for r in range(sheet.nrows)]) or 'OK'
except Exception:
    verdict = traceback.format_exc()
open(result + '.tmp', 'w').write(verdict)
os.replace(result + '.tmp', result)
)";

class HeadlessExportTest : public ServiceFixture {
protected:
    SettingsFileAside settings;
};

} // namespace

TEST_F(HeadlessExportTest, WritesEveryServiceAndDriverTheManagerLists) {
    const std::string service = services.create();
    Plinth::UniqueServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
    auto change = [&](const std::string& name) {
        return Plinth::UniqueServiceHandle(
            OpenServiceA(manager.get(), name.c_str(), SERVICE_CHANGE_CONFIG));
    };
    // Wine's manager keeps a description; this one needs quoting in CSV.
    SERVICE_DESCRIPTIONA text{const_cast<char*>(kDescription)};
    ASSERT_TRUE(ChangeServiceConfig2A(change(service).get(), SERVICE_CONFIG_DESCRIPTION, &text));
    const std::string driver = services.createWithSc(
        "type= kernel start= demand binPath= C:\\windows\\system32\\drivers\\kvtest.sys");
    const std::string changed = services.create();
    const std::string xls = scratchPath("all.xls"), csv = scratchPath("all.csv");
    auto exportTo = [](const std::string& file, const char* words, std::string* output = nullptr) {
        return runProcess(
            "\"" + programPath("kelvane.exe") + "\" " + words + " export=\"" + file + "\"", output);
    };
    ASSERT_EQ(exportTo(xls, "-nopersist"), 0);
    EXPECT_FALSE(settings.exists()) << "nopersist stores no settings";
    ASSERT_EQ(exportTo(csv, ""), 0);

    const std::string fresh = services.create();
    ASSERT_TRUE(ChangeServiceConfigA(change(changed).get(), SERVICE_NO_CHANGE, SERVICE_DISABLED,
                                     SERVICE_NO_CHANGE, nullptr, nullptr, nullptr, nullptr, nullptr,
                                     nullptr, nullptr));
    ASSERT_EQ(exportTo(csv, ""), 0);
    EXPECT_EQ(runHostChecker(kExportChecker, {unixPath(csv), unixPath(xls), driver, service, fresh,
                                              changed, managerServiceNames()}),
              "OK")
        << "texts from the platform end at their NUL (Wine's language names count it)";

    std::string output; // an unwritable file is reported on the console
    const std::string unwritable = "C:\\kelvane-no-such-folder\\list.csv";
    EXPECT_EQ(exportTo(unwritable, "-nopersist", &output), 2);
    EXPECT_NE(output.find("could not be written"), std::string::npos) << output;
    EXPECT_NE(output.find(unwritable), std::string::npos) << output;
    DeleteFileA(xls.c_str());
    DeleteFileA(csv.c_str());
}

TEST_F(HeadlessExportTest, AReadThatNeverEndsIsGivenUpAndStoresNothing) {
    // Wine's manager answers every computer name at once, so the manager
    // that never answers is handed in (see docs/wine-peers.md).
    Plinth::setResourceModule(GetModuleHandleA(nullptr));
    ASSERT_TRUE(openServiceDatabaseKey());
    Plinth::UniqueHandleObject release(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    HANDLE releaseEvent = release.get();
    auto silentManager = [releaseEvent](ScmConnection&, const std::string&, DWORD) {
        WaitForSingleObject(releaseEvent, 300000);
        throw Plinth::SDKException(RPC_S_SERVER_UNAVAILABLE);
    };
    const std::string csv = scratchPath("never.csv");
    AppConfig config;
    config.computerName = "far-away";
    auto run = std::async(std::launch::async,
                          [&] { return runHeadlessExport(config, csv, silentManager); });
    const bool ended = run.wait_for(std::chrono::seconds(60)) == std::future_status::ready;
    SetEvent(releaseEvent);
    EXPECT_TRUE(ended) << "the export ends within 60 s";
    EXPECT_EQ(run.get(), 2);
    closeServiceDatabaseKey();
    EXPECT_FALSE(pathExists(csv));
    EXPECT_FALSE(settings.exists()) << "no read, nothing stored";
}
