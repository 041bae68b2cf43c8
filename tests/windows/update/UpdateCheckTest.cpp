// The version check and the setup download against Python's http.server
// (the description over http, the setup over https), with the boxes answered
// through the message-box hook and the day kept under a registry key of this
// test process. The setups are the ones the build signed (TestSigning.h).
#include "tests/windows/support/DialogScript.h"
#include "tests/windows/support/LocalWebServer.h"
#include "tests/windows/support/MainWindowThread.h"
#include "tests/windows/update/TestSigning.h"

#include "framework/Exception.h"
#include "framework/win/ModuleResources.h"
#include "resources/ResourceIds.h"
#include "update/win/UpdateChecker.h"
#include "update/win/UpdateDownload.h"

#include <gtest/gtest.h>

#include <atomic>

using namespace kelvane;
using test::LocalWebServer;
using test::signingFile;

namespace {

class TestHost : public UpdateHost {
public:
    TestHost()
        : window_(CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPED, 100, 100, 400, 300, nullptr,
                                  nullptr, nullptr, nullptr)) {}
    HWND ownerWindow() const override { return window_.get(); }
    bool noPersist() const override { return noPersistFlag; }
    bool noUpdate() const override { return noUpdateFlag; }
    void hideMainWindow() override { ++hidden; }
    void showMainWindow() override { ++shown; }

    bool noPersistFlag = false, noUpdateFlag = false;
    std::atomic<int> hidden{0}, shown{0};

private:
    Plinth::UniqueWindow window_;
};

// A version description with only what the checks read.
std::string description(const std::string& version, const std::string& download,
                        const std::string& messages = "") {
    return "<XML_DIZ_INFO><Program_Info><Program_Name>Kelvane</Program_Name><Program_Version>" +
           version +
           "</Program_Version></Program_Info><Web_Info><Download_URLs>"
           "<Primary_Download_URL>" +
           download + "</Primary_Download_URL></Download_URLs></Web_Info>" + messages +
           "</XML_DIZ_INFO>";
}

// Whether a download folder (kelvane-setup-...) is left in the temporary folder.
bool setupFolderLeft() {
    WIN32_FIND_DATAA entry;
    return static_cast<bool>(Plinth::UniqueFindHandle(
        FindFirstFileA((temporaryFolder() + "kelvane-setup-*").c_str(), &entry)));
}

class UpdateCheckTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        Plinth::setResourceModule(GetModuleHandleA(nullptr));
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&controls);
        server_ = new LocalWebServer(signingFile("server.pem"), signingFile("server.key"));
        for (const char* setup : {"setup-publisher.exe", "setup-stranger.exe"}) {
            server_->serveFile(setup, test::fileBytes(signingFile(setup)));
        }
    }
    static void TearDownTestSuite() { delete server_; }

    void SetUp() override {
        ASSERT_TRUE(server_->ready() && server_->secureReady()) << "no http.server, or no https";
        std::string unique = std::to_string(GetCurrentProcessId()) + "-" +
                             ::testing::UnitTest::GetInstance()->current_test_info()->name();
        name_ = "pad-" + unique + ".xml";
        settings_ = productUpdateSettings();
        settings_.baseName = "kelvane-test-" + unique;
        settings_.registryKey = "Software\\Trevolt\\Kelvane-test-" + unique;
        settings_.descriptionAddress = server_->url(name_);
        settings_.systemText = "WIN10.0.19045";
        settings_.publishers = test::testPublishers();
        RegDeleteKeyA(HKEY_CURRENT_USER, settings_.registryKey.c_str());
        boxes_ = std::make_unique<test::AnsweredBoxes>(IDNO);
    }
    void TearDown() override {
        boxes_.reset();
        RegDeleteKeyA(HKEY_CURRENT_USER, settings_.registryKey.c_str());
        DeleteFileA(handOverFilePath(settings_.baseName).c_str());
    }

    const std::vector<test::AnsweredBoxes::Box>& boxes() const { return boxes_->boxes; }

    // One program start's automatic check, run to its end.
    void runAutomaticCheck() {
        UpdateChecker checker(host_, settings_);
        checker.startAutomaticCheck();
        if (!host_.noUpdateFlag) {
            EXPECT_EQ(WaitForSingleObject(checker.handle(), 60000), WAIT_OBJECT_0);
        }
        checker.shutdown();
    }

    static LocalWebServer* server_;
    std::string name_;
    UpdateCheckerSettings settings_;
    TestHost host_;
    std::unique_ptr<test::AnsweredBoxes> boxes_;
};

LocalWebServer* UpdateCheckTest::server_ = nullptr;

} // namespace

TEST_F(UpdateCheckTest, MenuCommandTellsWhatItFound) {
    UpdateChecker checker(host_, settings_);
    server_->serveFile(name_, description("4.6", "",
                                          "<trevolt:messages><trevolt:msg "
                                          "id=\"WIN10.0.19045\">Hello</trevolt:msg>"
                                          "</trevolt:messages>"));
    checker.checkVersionCommand();
    // The menu's request names no system; its messages are still chosen by it.
    EXPECT_EQ(server_->requestsFor(name_)[0],
              "/" + name_ + "\tkelvane 4.6\tkelvane 4.6 update check ");
    server_->serveFile(name_, description("4.7", "https://host/setup.exe"));
    checker.checkVersionCommand();
    server_->serveFile(name_, "<html>down for maintenance</html>");
    checker.checkVersionCommand();
    std::vector<test::AnsweredBoxes::Box> shown = boxes();
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_EQ(shown[0].text, "Hello");
    EXPECT_NE(shown[1].text.find("No update is needed."), std::string::npos);
    EXPECT_EQ(shown[1].owner, host_.ownerWindow());
    EXPECT_EQ(shown[2].style & MB_TYPEMASK, static_cast<UINT>(MB_YESNO)) << "the setup offered";
    EXPECT_EQ(shown[3].text, "The check for the current version using the internet failed.");

    // A server that is down: the menu raises WinINet's error, the automatic
    // check says nothing.
    settings_.descriptionAddress = "http://127.0.0.1:1/pad.xml";
    UpdateChecker offline(host_, settings_);
    EXPECT_THROW(offline.checkVersionCommand(), Plinth::LIE);
    runAutomaticCheck();
    EXPECT_EQ(boxes().size(), 4u);
}

TEST_F(UpdateCheckTest, AutomaticCheckRunsOncePerDayOffersTheNewVersionAndShutsDownAnswered) {
    server_->serveFile(name_, description("4.6", ""));
    runAutomaticCheck();
    ASSERT_EQ(server_->requestsFor(name_).size(), 1u) << "InetIsOffline said offline?";
    EXPECT_NE(server_->requestsFor(name_)[0].find("update check WIN10.0.19045"), std::string::npos);
    runAutomaticCheck();
    EXPECT_EQ(server_->requestsFor(name_).size(), 1u) << "a second start on the same day";
    host_.noPersistFlag = host_.noUpdateFlag = true;
    runAutomaticCheck();
    EXPECT_EQ(server_->requestsFor(name_).size(), 1u) << "with noupdate no start checks";
    EXPECT_TRUE(boxes().empty()) << "up to date: nothing to say";

    // With nopersist every start checks; this one offers a setup that is missing.
    host_.noUpdateFlag = false;
    server_->serveFile(name_, description("4.7", server_->secureUrl("missing-setup.exe")));
    boxes_->answer = IDYES;
    runAutomaticCheck();
    EXPECT_EQ(server_->requestsFor(name_).size(), 2u);
    std::vector<test::AnsweredBoxes::Box> shown = boxes();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].owner, host_.ownerWindow());
    EXPECT_NE(shown[0].text.find(server_->secureUrl("missing-setup.exe")), std::string::npos);
    // The download failed (404): the hidden window comes back.
    EXPECT_EQ(host_.hidden, 1);
    EXPECT_EQ(host_.shown, 1);

    // The check asks from its own thread, and shutting the checker down
    // answers the open box: a real one this time.
    boxes_.reset();
    UpdateChecker checker(host_, settings_);
    checker.startAutomaticCheck();
    // The box disables its owner, a window of this thread: served as the
    // main window's thread would.
    ASSERT_TRUE(test::pumpUntil([&] { return test::openDialogOf(checker.threadId()); }, 30000))
        << "the check asked nothing";
    checker.shutdown();
    EXPECT_EQ(WaitForSingleObject(checker.handle(), 0), WAIT_OBJECT_0);
    EXPECT_EQ(host_.hidden, 1) << "answered No: nothing downloaded";
}

TEST_F(UpdateCheckTest, DownloadFillsTheFileAndTheBar) {
    const std::string bytes(5 * 1024 + 300, 'k'), file = "setup-" + name_ + ".exe";
    server_->serveFile(file, bytes);
    DownloadDialog dialog(host_.ownerWindow(), server_->secureUrl(file));
    char shown[256] = {};
    GetDlgItemTextA(dialog.window(), IDC_DOWNLOAD_ADDRESS, shown, sizeof shown);
    EXPECT_EQ(shown, server_->secureUrl(file));
    {
        DownloadedSetup setup =
            downloadSetup(server_->secureUrl(file), "kelvane 4.6", dialog.progressBar());
        ASSERT_TRUE(setup.held());
        const std::string path = setup.path();
        EXPECT_EQ(path.rfind(temporaryFolder() + "kelvane-setup-", 0), 0u) << path;
        EXPECT_EQ(test::fileBytes(path), bytes);
        // Nobody may change or swap it between its signature check and its start.
        for (const char* mode : {"write", "delete"}) {
            EXPECT_EQ(test::runProcess("\"" + test::programPath("kelvane-open-file.exe") + "\" " +
                                       mode + " \"" + path + "\""),
                      ERROR_SHARING_VIOLATION)
                << mode;
        }
        EXPECT_EQ(SendMessageA(dialog.progressBar(), PBM_GETRANGE, FALSE, 0), 5);
        EXPECT_EQ(SendMessageA(dialog.progressBar(), PBM_GETPOS, 0, 0), 5);
        EXPECT_NE(server_->requestsFor(file)[0].find("\tkelvane 4.6 download"), std::string::npos);
    }

    // Refused: a body cut short, an http address and a redirection to one.
    server_->serveRaw("cut-" + file, "HTTP/1.0 200 OK\r\nContent-Length: 9999\r\n\r\n" + bytes);
    server_->serveRaw("moved-" + file,
                      "HTTP/1.0 302 Found\r\nLocation: " + server_->url(file) + "\r\n\r\n");
    for (const std::string& address : {server_->secureUrl("cut-" + file), server_->url(file),
                                       server_->secureUrl("moved-" + file)}) {
        EXPECT_FALSE(downloadSetup(address, "kelvane 4.6", nullptr).held()) << address;
    }
    EXPECT_EQ(server_->requestsFor(file).size(), 2u)
        << "the download and the redirection to http; the http address itself is not asked for";
    EXPECT_FALSE(setupFolderLeft()) << "a refused download leaves no folder";

    // No length announced: complete, and the bar keeps its range.
    DownloadDialog second(host_.ownerWindow(), "");
    server_->serveRaw("bare-" + file, "HTTP/1.0 200 OK\r\n\r\n" + bytes);
    DownloadedSetup bare =
        downloadSetup(server_->secureUrl("bare-" + file), "kelvane 4.6", second.progressBar());
    EXPECT_EQ(test::fileBytes(bare.path()), bytes);
    EXPECT_EQ(SendMessageA(second.progressBar(), PBM_GETRANGE, FALSE, 0), 100);
}

TEST_F(UpdateCheckTest, OnlyThePinnedPublishersSetupStarts) {
    // What the started test setup sets; made before a setup could start.
    Plinth::UniqueHandleObject started(
        CreateEventA(nullptr, TRUE, FALSE, "kelvane-test-setup-started"));
    UpdateChecker checker(host_, settings_);
    PadInfo info;
    info.downloadUrl = server_->secureUrl("setup-stranger.exe");
    EXPECT_FALSE(downloadAndStartSetup(checker, info));
    EXPECT_EQ(WaitForSingleObject(started.get(), 1000), static_cast<DWORD>(WAIT_TIMEOUT));
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_NE(boxes()[0].text.find("signed by \"Someone Else\""), std::string::npos);
    EXPECT_FALSE(setupFolderLeft()) << "a refused setup is deleted with its folder";
    EXPECT_EQ(GetFileAttributesA(handOverFilePath(settings_.baseName).c_str()),
              INVALID_FILE_ATTRIBUTES)
        << "no hand-over file for a refused setup";

    info.downloadUrl = server_->secureUrl("setup-publisher.exe");
    EXPECT_TRUE(downloadAndStartSetup(checker, info));
    EXPECT_EQ(WaitForSingleObject(started.get(), 30000), WAIT_OBJECT_0);
    const std::string handedOver = test::fileBytes(handOverFilePath(settings_.baseName));
    const std::string path = handedOver.substr(0, handedOver.size() - 1); // less its line end
    EXPECT_EQ(test::fileBytes(path), test::fileBytes(signingFile("setup-publisher.exe")))
        << "a started setup stays for the post-update run";
    test::waitUntil([&] { return DeleteFileA(path.c_str()) != 0; }, 5000); // once it has ended
    RemoveDirectoryA(path.substr(0, path.find_last_of('\\')).c_str());
}
