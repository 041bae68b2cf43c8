// "kelvane.exe export=PATH": the real program writes the services and
// drivers that Wine's manager lists, marked against the previous run, and
// says on its console why it could not.
#include "tests/windows/support/HostChecker.h"
#include "tests/windows/support/TestPaths.h"
#include "tests/windows/support/SettingsFileAside.h"
#include "tests/windows/support/TestServices.h"

#include "framework/win/UniqueHandle.h"
#include "framework/Exception.h"
#include "framework/win/ModuleResources.h"
#include "shell/win/HeadlessExport.h"
#include "shell/win/ServiceDatabaseKey.h"

#include <fstream>
#include <map>
#include <set>
#include <thread>

using namespace kelvane;
using namespace kelvane::test;

namespace {

// Internal name to the "changes" field, from a file the export wrote.
std::map<std::string, std::string> readCsvMarks(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::map<std::string, std::string> marks;
    std::string line;
    std::getline(in, line); // the header
    while (std::getline(in, line)) {
        // The texts before the mark hold no ";" on Wine's manager and ours.
        std::istringstream split(line);
        std::string name, field;
        std::getline(split, name, ';');
        for (int i = 1; i <= 16; ++i) {
            std::getline(split, field, ';');
        }
        marks[name] = field;
    }
    return marks;
}

// Every service and driver the list can show (adapters never show).
std::set<std::string> managerServiceNames() {
    std::set<std::string> names;
    Plinth::UniqueServiceHandle manager(
        OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ENUMERATE_SERVICE));
    std::vector<BYTE> buffer(1 << 20);
    DWORD needed = 0, count = 0, resume = 0;
    if (EnumServicesStatusExA(manager.get(), SC_ENUM_PROCESS_INFO, SERVICE_WIN32 | SERVICE_DRIVER,
                              SERVICE_STATE_ALL, buffer.data(), static_cast<DWORD>(buffer.size()),
                              &needed, &count, &resume, nullptr)) {
        auto* entries = reinterpret_cast<ENUM_SERVICE_STATUS_PROCESSA*>(buffer.data());
        for (DWORD i = 0; i < count; ++i) {
            if (entries[i].ServiceStatusProcess.dwServiceType & ~SERVICE_ADAPTER) {
                names.insert(entries[i].lpServiceName);
            }
        }
    }
    return names;
}

bool setDescription(const std::string& name, const std::string& description) {
    Plinth::UniqueServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
    Plinth::UniqueServiceHandle service(
        OpenServiceA(manager.get(), name.c_str(), SERVICE_CHANGE_CONFIG));
    SERVICE_DESCRIPTIONA text{const_cast<char*>(description.c_str())};
    return service && ChangeServiceConfig2A(service.get(), SERVICE_CONFIG_DESCRIPTION, &text);
}

// The list's columns after the seventeen, as Python's csv and xlrd read the
// two files, and no control byte in any cell: argv: csv, xls, a kernel
// driver, a service with this description.
const char* kDescription = "Keeps \"things\"; going";
const char* kLaterColumnsChecker = R"(
import csv, os, sys, traceback, xlrd
csv_path, xls_path, driver, service, result = sys.argv[1:6]
description = 'Keeps "things"; going'
LATER = ['Service description', 'Depends on', 'Needed by', 'Start options', 'On failure']
def csv_rows():
    with open(csv_path, newline='', encoding='latin-1') as f:
        rows = list(csv.reader(f, delimiter=';'))
    for row in rows:
        if len(row) != 23 or row[-1] != '':
            raise ValueError('csv line of %d fields: %r' % (len(row), row))
    return [row[:-1] for row in rows]
def xls_rows():
    sheet = xlrd.open_workbook(xls_path).sheet_by_index(0)
    return [[str(v) for v in sheet.row_values(r)] for r in range(sheet.nrows)]
def check(kind, rows):
    header = rows[0]
    if len(header) != 22 or header[0] != 'Internal Name' or header[16] != 'changes' or header[17:] != LATER:
        return '%s header %r' % (kind, header)
    named = {row[0]: row for row in rows[1:]}
    for name, column, text in [(driver, 2, 'Kernel driver'), (service, 17, description)]:
        got = named[name][column] if name in named else None
        if got != text:
            return '%s: %s column %d is %r, not %r' % (kind, name, column, got, text)
    bad = [cell for row in rows for cell in row if any(ord(c) < 32 and c != '\t' for c in cell)]
    return '%s: control bytes in %r' % (kind, bad) if bad else None
try:
    verdict = check('csv', csv_rows()) or check('xls', xls_rows()) or 'OK'
except Exception:
    verdict = traceback.format_exc()
open(result + '.tmp', 'w').write(verdict)
os.replace(result + '.tmp', result)
)";

class HeadlessExportTest : public ServiceFixture {
protected:
    void TearDown() override {
        for (const std::string& file : files) {
            DeleteFileA(file.c_str());
        }
    }
    int exportTo(const std::string& file, const std::string& words = "",
                 std::string* output = nullptr) {
        files.push_back(file);
        return runProcess(
            "\"" + programPath("kelvane.exe") + "\" " + words + " export=\"" + file + "\"", output);
    }

    SettingsFileAside settings;
    std::vector<std::string> files;
};

} // namespace

TEST_F(HeadlessExportTest, WritesEveryServiceAndDriverTheManagerLists) {
    const std::string service = services.create();
    // Wine's manager keeps a description; this one needs quoting in CSV.
    ASSERT_TRUE(setDescription(service, kDescription));
    const std::string driver = services.createWithSc(
        "type= kernel start= demand binPath= C:\\windows\\system32\\drivers\\kvtest.sys");
    const std::string csv = scratchPath("all.csv"), xls = scratchPath("all.xls");
    ASSERT_EQ(exportTo(csv, "-nopersist"), 0);
    ASSERT_EQ(exportTo(xls, "-nopersist"), 0);
    EXPECT_EQ(runHostChecker(kLaterColumnsChecker, {unixPath(csv), unixPath(xls), driver, service}),
              "OK")
        << "texts from the platform end at their NUL (Wine's language names count it)";
    std::set<std::string> exported;
    for (const auto& [name, mark] : readCsvMarks(csv)) {
        exported.insert(name);
    }
    EXPECT_EQ(exported, managerServiceNames()) << "the kernel driver sc.exe created among them";
    EXPECT_FALSE(settings.exists()) << "nopersist stores no settings";
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
    Plinth::UniqueHandleObject finished(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    const std::string csv = scratchPath("never.csv");
    int code = -1;
    std::thread run([&] {
        AppConfig config;
        config.computerName = "far-away";
        code = runHeadlessExport(config, csv, silentManager);
        SetEvent(finished.get());
    });
    const bool ended = WaitForSingleObject(finished.get(), 60000) == WAIT_OBJECT_0;
    SetEvent(releaseEvent);
    run.join();
    closeServiceDatabaseKey();
    EXPECT_TRUE(ended) << "the export ends within 60 s";
    EXPECT_EQ(code, 2);
    EXPECT_FALSE(pathExists(csv));
    EXPECT_FALSE(settings.exists()) << "no read, nothing stored";
}

TEST_F(HeadlessExportTest, MarksWhatChangedSinceTheLastRun) {
    std::string kept = services.create();
    std::string retyped = services.create();
    ASSERT_EQ(exportTo(scratchPath("first.csv")), 0);

    std::string fresh = services.create();
    Plinth::UniqueServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
    Plinth::UniqueServiceHandle service(
        OpenServiceA(manager.get(), retyped.c_str(), SERVICE_CHANGE_CONFIG));
    ASSERT_TRUE(ChangeServiceConfigA(service.get(), SERVICE_NO_CHANGE, SERVICE_DISABLED,
                                     SERVICE_NO_CHANGE, nullptr, nullptr, nullptr, nullptr, nullptr,
                                     nullptr, nullptr));

    std::string second = scratchPath("second.csv");
    ASSERT_EQ(exportTo(second), 0);
    std::map<std::string, std::string> marks = readCsvMarks(second);
    EXPECT_EQ(marks[fresh], "new");
    EXPECT_EQ(marks[retyped], "changed");
    EXPECT_EQ(marks[kept], "");
}

TEST_F(HeadlessExportTest, AFileThatCannotBeWrittenIsReportedOnTheConsole) {
    std::string output;
    std::string unwritable = "C:\\kelvane-no-such-folder\\list.csv";
    EXPECT_EQ(exportTo(unwritable, "-nopersist", &output), 2);
    EXPECT_NE(output.find("could not be written"), std::string::npos) << output;
    EXPECT_NE(output.find(unwritable), std::string::npos) << output;
}
