// "kelvane.exe export=PATH": the real program writes the services that
// Wine's manager lists, marked against the previous run, and says on its
// console why it could not.
#include "tests/windows/support/TestPaths.h"
#include "tests/windows/support/SettingsFileAside.h"
#include "tests/windows/support/TestServices.h"

#include "framework/Exception.h"
#include "framework/win/ModuleResources.h"
#include "shell/win/HeadlessExport.h"
#include "shell/win/ServiceDatabaseKey.h"

#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <thread>

using namespace kelvane;
using namespace kelvane::test;

namespace {

std::string tempPath(const std::string& name) {
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    return std::string(folder) + "kelvane-export-" + std::to_string(GetCurrentProcessId()) + "-" +
           name;
}

// Internal name to the "changes" field, from a file the export wrote.
std::map<std::string, std::string> readCsvMarks(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::map<std::string, std::string> marks;
    std::string line;
    bool header = true;
    while (std::getline(in, line)) {
        if (header) {
            header = false;
            continue;
        }
        // Internal names hold no ";" nor quotes; the last field is the mark.
        std::string name = line.substr(0, line.find(';'));
        std::string withoutEnd = line.substr(0, line.size() - 1);
        marks[name] = withoutEnd.substr(withoutEnd.rfind(';') + 1);
    }
    return marks;
}

std::set<std::string> managerServiceNames() {
    std::set<std::string> names;
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ENUMERATE_SERVICE);
    std::vector<BYTE> buffer(1 << 20);
    DWORD needed = 0, count = 0, resume = 0;
    if (EnumServicesStatusExA(manager, SC_ENUM_PROCESS_INFO, SERVICE_WIN32, SERVICE_STATE_ALL,
                              buffer.data(), static_cast<DWORD>(buffer.size()), &needed, &count,
                              &resume, nullptr)) {
        auto* entries = reinterpret_cast<ENUM_SERVICE_STATUS_PROCESSA*>(buffer.data());
        for (DWORD i = 0; i < count; ++i) {
            names.insert(entries[i].lpServiceName);
        }
    }
    CloseServiceHandle(manager);
    return names;
}

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

TEST_F(HeadlessExportTest, WritesEveryServiceTheManagerLists) {
    services.create();
    std::string csv = tempPath("all.csv");
    ASSERT_EQ(exportTo(csv, "-nopersist"), 0);
    std::set<std::string> exported;
    for (const auto& [name, mark] : readCsvMarks(csv)) {
        exported.insert(name);
    }
    EXPECT_EQ(exported, managerServiceNames());
    EXPECT_FALSE(settings.exists()) << "nopersist stores no settings";

    // Texts from the platform end at their NUL (Wine's language names count
    // it): no cell carries a control byte.
    std::ifstream in(csv, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        for (char c : line) {
            EXPECT_FALSE(static_cast<unsigned char>(c) < 0x20 && c != '\t')
                << "byte " << int(c) << " in: " << line;
        }
    }
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
    const std::string csv = tempPath("never.csv");
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
    EXPECT_EQ(GetFileAttributesA(csv.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(settings.exists()) << "no read, nothing stored";
}

TEST_F(HeadlessExportTest, MarksWhatChangedSinceTheLastRun) {
    std::string kept = services.create();
    std::string retyped = services.create();
    ASSERT_EQ(exportTo(tempPath("first.csv")), 0);

    std::string fresh = services.create();
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
    SC_HANDLE service = OpenServiceA(manager, retyped.c_str(), SERVICE_CHANGE_CONFIG);
    ASSERT_TRUE(ChangeServiceConfigA(service, SERVICE_NO_CHANGE, SERVICE_DISABLED,
                                     SERVICE_NO_CHANGE, nullptr, nullptr, nullptr, nullptr, nullptr,
                                     nullptr, nullptr));
    CloseServiceHandle(service);
    CloseServiceHandle(manager);

    std::string second = tempPath("second.csv");
    ASSERT_EQ(exportTo(second), 0);
    std::map<std::string, std::string> marks = readCsvMarks(second);
    EXPECT_EQ(marks[fresh], "new");
    EXPECT_EQ(marks[retyped], "changed");
    EXPECT_EQ(marks[kept], "");

    std::string workbook = tempPath("third.xls");
    ASSERT_EQ(exportTo(workbook), 0);
    std::ifstream in(workbook, std::ios::binary);
    char signature[4] = {};
    in.read(signature, 4);
    EXPECT_EQ(std::string(signature, 4), std::string("\xD0\xCF\x11\xE0", 4))
        << "a name ending in .xls gives a workbook";
}

TEST_F(HeadlessExportTest, AFileThatCannotBeWrittenIsReportedOnTheConsole) {
    std::string output;
    std::string unwritable = "C:\\kelvane-no-such-folder\\list.csv";
    EXPECT_EQ(exportTo(unwritable, "-nopersist", &output), 2);
    EXPECT_NE(output.find("could not be written"), std::string::npos) << output;
    EXPECT_NE(output.find(unwritable), std::string::npos) << output;
}
