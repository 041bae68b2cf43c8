// The decisions behind the tray icon's clicks, the admin controls and the
// installation's texts, without any platform call.
#include "shell/Elevation.h"
#include "shell/InstallationPlan.h"
#include "shell/TrayClicks.h"

#include <gtest/gtest.h>

using namespace kelvane;

// A click is a release of the pressed button inside the double-click
// rectangle; a drag still ends the press, another button's release does not.
TEST(TrayClicks, OnlyAReleaseOfThePressedButtonNearByIsAClick) {
    ClickTracker clicks;
    EXPECT_FALSE(clicks.release(TrayButton::Left, 0, 0, 4, 4)) << "no press at all";
    clicks.press(TrayButton::Right, 100, 100);
    EXPECT_FALSE(clicks.release(TrayButton::Left, 100, 100, 4, 4));
    EXPECT_TRUE(clicks.release(TrayButton::Right, 104, 96, 4, 4));
    EXPECT_FALSE(clicks.release(TrayButton::Right, 104, 96, 4, 4)) << "one press, one click";
    clicks.press(TrayButton::Left, 100, 100);
    EXPECT_FALSE(clicks.release(TrayButton::Left, 105, 100, 4, 4)) << "moved too far sideways";
    EXPECT_EQ(clicks.pressed(), TrayButton::None);
    EXPECT_TRUE(minimiseEndsMainWindow(1));
    EXPECT_FALSE(minimiseEndsMainWindow(2));
}

TEST(Elevation, AdministrativeRightsComeFromTheTokenOnlyWhereThereIsUserAccountControl) {
    TokenAnswer old;
    old.nt6OrLater = false;
    EXPECT_TRUE(adminRightsFrom(old)) << "nothing is asked before NT 6";
    TokenAnswer token;
    token.tokenOpened = true;
    token.isElevated = 1;
    EXPECT_FALSE(adminRightsFrom(token)) << "query failed: the value is not to be trusted";
    token.queried = true;
    EXPECT_TRUE(adminRightsFrom(token));
    EXPECT_TRUE(planAdminControls(false, true).elevation);
    EXPECT_FALSE(planAdminControls(false, false).elevation) << "another computer's list";
}

TEST(InstallationPlan, TheProgramIsQuotedAndItsFolderKeepsADrivesRoot) {
    const std::string program = "C:\\Program Files\\Kelvane\\kelvane.exe";
    EXPECT_EQ(registrationValues("Kelvane", program).back().second,
              "\"C:\\Program Files\\Kelvane\\kelvane.exe\" -uninstall");
    EXPECT_EQ(trayCommandLine(program), "\"C:\\Program Files\\Kelvane\\kelvane.exe\" -tray");
    const std::pair<const char*, const char*> folders[] = {
        {"C:\\Tools\\Kelvane\\kelvane.exe", "C:\\Tools\\Kelvane"},
        {"C:\\kelvane.exe", "C:\\"},
        {"D:kelvane.exe", "D:"},
        {"\\\\server\\share\\kelvane.exe", "\\\\server\\share"},
        {"kelvane.exe", ""},
    };
    for (const auto& [path, folder] : folders) {
        EXPECT_EQ(programFolder(path), folder) << path;
    }
}
