#pragma once
// The version check: once a day in its own thread when the main window has
// opened, and on demand from the menu. A newer version is offered for
// download (UpdateDownload) or, without a download, its web page.
#include "framework/win/WorkerThread.h"
#include "update/PadDescription.h"
#include "update/PublisherPin.h"
#include "update/win/HttpGet.h"
#include "update/win/UpdateHost.h"

#include <string>
#include <vector>

namespace kelvane {

struct UpdateCheckerSettings {
    std::string baseName;           // "kelvane": names the hand-over file
    std::string registryKey;        // under HKEY_CURRENT_USER; holds "last update check"
    std::string descriptionAddress; // the maker's published PAD file
    std::string currentVersion;     // "4.6"
    std::string agentName;          // "kelvane 4.6"
    std::string systemText;         // "WIN<major>.<minor>.<build>" of this system
    std::string productPage;        // offered when the description names no page
    // A downloaded setup starts only when signed by one of these.
    std::vector<PinnedCertificate> publishers;
};

// The settings of the shipped program, with this system's text.
UpdateCheckerSettings productUpdateSettings();

class UpdateChecker : public Plinth::WorkerThread {
public:
    // The thread ("UpdateChecker") is made suspended; nothing runs yet.
    explicit UpdateChecker(UpdateHost& host,
                           UpdateCheckerSettings settings = productUpdateSettings());
    ~UpdateChecker() override;

    // At the end of the main window's start-up: takes the run's options and
    // lets the automatic check run unless "noupdate" was given.
    void startAutomaticCheck();

    // Menu command 32788, on the user-interface thread. Failures of the
    // internet library pass to the caller as LIE.
    void checkVersionCommand();

    // Before the main window goes: ends the check's transfer (closing its
    // request), answers its open boxes with No and waits for its thread,
    // dispatching messages meanwhile.
    void shutdown();

    // The thread body: once per calendar day (unless "nopersist") and only
    // online; ends silently on every failure.
    void runAutomaticCheck();

    const UpdateCheckerSettings& settings() const { return settings_; }
    UpdateHost& host() const { return host_; }

protected:
    int32_t init() override;
    int32_t run() override;
    int32_t exit(int32_t result) override;

private:
    bool firstCheckToday() const;
    void showMessages(const PadInfo& info) const;
    int ask(const std::string& text, UINT style) const;

    UpdateHost& host_;
    const UpdateCheckerSettings settings_;
    bool rememberDay_ = true;
    bool started_ = false;
    bool comReady_ = false;
    HttpCancel transfers_; // of the thread's body
};

// Opens an http or https address with the shell's "open" verb.
void openWebPage(HWND owner, const std::string& address);

} // namespace kelvane
