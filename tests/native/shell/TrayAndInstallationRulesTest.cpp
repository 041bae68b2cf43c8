// The decisions behind the tray icon's clicks, the admin controls and the
// installation's texts, without any platform call.
#include "resources/ResourceIds.h"
#include "shell/Elevation.h"
#include "shell/InstallationPlan.h"
#include "shell/TrayClicks.h"

#include <gtest/gtest.h>

using namespace kelvane;

TEST(TrayClicks, ReleaseInsideTheDoubleClickRectangleOfThePressedButtonIsAClick) {
    ClickTracker clicks;
    clicks.press(TrayButton::Right, 100, 100);
    EXPECT_TRUE(clicks.release(TrayButton::Right, 104, 96, 4, 4));
    EXPECT_EQ(clicks.pressed(), TrayButton::None);

    clicks.press(TrayButton::Left, 100, 100);
    EXPECT_FALSE(clicks.release(TrayButton::Left, 105, 100, 4, 4)) << "moved too far sideways";
    clicks.press(TrayButton::Middle, 100, 100);
    EXPECT_FALSE(clicks.release(TrayButton::Middle, 100, 95, 4, 4)) << "moved too far up";
    EXPECT_EQ(clicks.pressed(), TrayButton::None) << "a drag still ends the press";
}

TEST(TrayClicks, AReleaseOfAnotherButtonNeitherClicksNorForgetsThePress) {
    ClickTracker clicks;
    EXPECT_FALSE(clicks.release(TrayButton::Left, 0, 0, 4, 4)) << "no press at all";
    clicks.press(TrayButton::Right, 10, 10);
    EXPECT_FALSE(clicks.release(TrayButton::Left, 10, 10, 4, 4));
    EXPECT_EQ(clicks.pressed(), TrayButton::Right);
    EXPECT_TRUE(clicks.release(TrayButton::Right, 10, 10, 4, 4));
    EXPECT_FALSE(clicks.release(TrayButton::Right, 10, 10, 4, 4)) << "one press, one click";
}

TEST(TrayClicks, OnlyASingleTrayInstanceMakesMinimisingCloseTheMainWindow) {
    EXPECT_FALSE(minimiseEndsMainWindow(0));
    EXPECT_TRUE(minimiseEndsMainWindow(1));
    EXPECT_FALSE(minimiseEndsMainWindow(2));
}

TEST(Elevation, AdministrativeRightsComeFromTheTokenOnlyWhereThereIsUserAccountControl) {
    TokenAnswer old;
    old.nt6OrLater = false;
    EXPECT_TRUE(adminRightsFrom(old)) << "nothing is asked before NT 6";
    EXPECT_FALSE(planAdminControls(adminRightsFrom(old), true).elevation)
        << "so the admin button never shows there";

    TokenAnswer token;
    EXPECT_FALSE(adminRightsFrom(token)) << "token not opened";
    token.tokenOpened = true;
    token.isElevated = 1;
    EXPECT_FALSE(adminRightsFrom(token)) << "query failed: the value is not to be trusted";
    token.queried = true;
    EXPECT_TRUE(adminRightsFrom(token));
    token.isElevated = 0;
    EXPECT_FALSE(adminRightsFrom(token));
}

TEST(Elevation, OnlyANonElevatedLocalSessionSwapsTheActionButtonsForTheAdminButton) {
    const std::vector<int> six{IDC_START,    IDC_STOP,    IDC_PAUSE,
                               IDC_CONTINUE, IDC_RESTART, IDC_REMOVE};
    AdminControlPlan local = planAdminControls(false, true);
    EXPECT_TRUE(local.elevation);
    EXPECT_EQ(local.shownButtons, std::vector<int>{IDC_ADMIN});
    EXPECT_EQ(local.hiddenButtons, six);

    for (AdminControlPlan plan : {planAdminControls(false, false), planAdminControls(true, true),
                                  planAdminControls(true, false)}) {
        EXPECT_FALSE(plan.elevation);
        EXPECT_EQ(plan.shownButtons, six);
        EXPECT_EQ(plan.hiddenButtons, std::vector<int>{IDC_ADMIN});
    }
}

TEST(InstallationPlan, TheRegistrationQuotesTheProgramWhereItStartsACommandLine) {
    const std::string program = "C:\\Program Files\\Kelvane\\kelvane.exe";
    EXPECT_EQ(uninstallKeyPath("Kelvane"),
              "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kelvane");
    EXPECT_EQ(registrationValues("Kelvane", program),
              (decltype(registrationValues("", "")){
                  {"DisplayName", "Kelvane"},
                  {"DisplayIcon", program},
                  {"UninstallString", "\"C:\\Program Files\\Kelvane\\kelvane.exe\" -uninstall"}}));
    EXPECT_EQ(trayCommandLine(program), "\"C:\\Program Files\\Kelvane\\kelvane.exe\" -tray");
}

TEST(InstallationPlan, FoldersAndFilesBesideTheProgram) {
    EXPECT_EQ(programFolder("C:\\Tools\\Kelvane\\kelvane.exe"), "C:\\Tools\\Kelvane");
    EXPECT_EQ(programFolder("C:\\kelvane.exe"), "C:\\") << "a drive's root keeps its separator";
    EXPECT_EQ(programFolder("D:kelvane.exe"), "D:");
    EXPECT_EQ(programFolder("\\\\server\\share\\kelvane.exe"), "\\\\server\\share");
    EXPECT_EQ(programFolder("kelvane.exe"), "");

    EXPECT_EQ(shortcutPath("C:\\Start Menu\\Programs", "Kelvane"),
              "C:\\Start Menu\\Programs\\Kelvane.lnk");
    EXPECT_EQ(shortcutPath("C:\\Startup\\", "Kelvane"), "C:\\Startup\\Kelvane.lnk")
        << "never two separators in a row";
    EXPECT_EQ(pathInFolder(programFolder("C:\\kelvane.exe"), helpFileName), "C:\\kelvane.chm");
}
