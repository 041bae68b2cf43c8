#include "shell/win/StartUp.h"

#include "framework/FailureReport.h"
#include "framework/win/ModuleResources.h"
#include "framework/win/Reports.h"
#include "framework/win/UiLocale.h"
#include "shell/CommandLine.h"
#include "shell/win/HeadlessExport.h"
#include "shell/win/InstallerMutexes.h"
#include "shell/win/PostUpdateRun.h"
#include "shell/win/ServiceDatabaseKey.h"
#include "shell/win/StartTargets.h"

#include <commctrl.h>
#include <objbase.h>

namespace kelvane {

void selectLanguage(const std::string& line) {
    UiLanguage language = selectUiLanguage(GetThreadLocale(), line);
    Plinth::setUiLocale({language.locale, language.switchText});
    Plinth::setResourceLanguage(LANGIDFROMLCID(language.locale));
    Plinth::applyUiLocaleToThread();
}

int runStartUp(HINSTANCE instance, const char* commandLine, int showCommand) {
    const std::string line = commandLine ? commandLine : "";
    Plinth::setResourceModule(instance);
    createInstallerMutexes();
    if (hasPostUpdateSwitch(line)) {
        return runPostUpdateCleanUp();
    }
    selectLanguage(line);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    Plinth::installErrorHandlers(true);

    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);

    StartRequest request = readCommandLine(line);
    switch (request.action) {
    case StartAction::Install:
        installProgram(showCommand);
        return 0;
    case StartAction::Remove:
        removeInstallation();
        return 0;
    case StartAction::Uninstall:
        uninstallProgram();
        return 0;
    case StartAction::Tray:
        return runTray(request.config);
    case StartAction::MainWindow:
    case StartAction::Export:
        break;
    }

    if (!openServiceDatabaseKey()) {
        return 1;
    }
    if (request.action == StartAction::Export) {
        int code = runHeadlessExport(request.config, request.exportPath);
        Plinth::enterShutdown();
        closeServiceDatabaseKey();
        return code;
    }
    runMainWindow(request.config, /*endsProgram=*/true);
    closeServiceDatabaseKey();
    return 0;
}

} // namespace kelvane
