#pragma once
// Resource, control and command numbers shared by the resource script and
// the code.
#define IDI_KELVANE 1
#define IDB_CLASS_ICONS 132
#define IDR_ACCELERATORS 129

// Dialogs and menus, each in English, German and Swedish.
#define IDD_ABOUT 100
#define IDD_MAIN 102
#define IDD_COLOR_LEGEND 164
#define IDM_TRAY 102
#define IDM_SERVICE_CONTEXT 103
#define IDM_MAIN 133

// Controls of the main window.
#define IDC_HOST 1000
#define IDC_SERVICE_LIST 1001
#define IDC_BROWSE_HOST 1003
#define IDC_START 1005
#define IDC_STOP 1006
#define IDC_REFRESH 1007
#define IDC_REMOVE 1008
#define IDC_PAUSE 1009
#define IDC_CONTINUE 1010
#define IDC_SERVICE_KIND 1011
#define IDC_DRIVER_KIND 1012
#define IDC_RESTART 1014
#define IDC_TASK_MANAGER 1016
#define IDC_LOGIN_AS 1017
#define IDC_DRIVERS 1018
#define IDC_SERVICES 1019
#define IDC_ACTIVE 1020
#define IDC_INACTIVE 1021
#define IDC_SERVICE_ICON 1022
#define IDC_FILTER 1023
#define IDC_MICROSOFT 1024
#define IDC_STATUS_LINE 1025
#define IDC_LEGEND_LIST 1026
#define IDC_ADMIN 1037
#define IDC_HOST_LABEL 1048
#define IDC_FILTER_LABEL 1049
#define IDC_ABOUT_VERSION 1050
#define IDC_ABOUT_WEB 1051
#define IDC_ABOUT_MAIL 1052
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// Commands of the menus and accelerators.
#define ID_ABOUT 16
#define ID_SHOW_PAD 2008
#define ID_EXIT 32769
#define ID_EVENT_VIEWER 32772
#define ID_COPY_TO_CLIPBOARD 32774
#define ID_START_TYPE_DISABLED 32775
#define ID_START_TYPE_MANUAL 32776
#define ID_START_TYPE_AUTOMATIC 32777
#define ID_START_TYPE_BOOT 32778
#define ID_START_TYPE_SYSTEM 32779
#define ID_FILE_PROPERTIES 32780
#define ID_OPEN_FOLDER 32781
#define ID_EXPORT 32783
#define ID_COLOR_BACKGROUND 32784
#define ID_COLOR_LEGEND 32785
#define ID_CREATE_SERVICE 32786
#define ID_EDIT_SERVICE 32787
#define ID_CHECK_VERSION 32788
#define ID_KILL_PROCESS 32789
#define ID_BUG_REPORT 32790
#define ID_RESET_VIEW 32791
#define ID_TRAY_SHOW 40001
#define ID_HELP_CONTENTS 57670

// String table: 101 to 188 in every language.
#define IDS_FIRST 101
#define IDS_LAST 188
// The columns after the seventeen and the words of their cells.
#define IDS_LATER_COLUMNS_FIRST 240
#define IDS_LATER_COLUMNS_LAST 255

// Update check: the download dialog and the refused setup's texts.
#define IDD_UPDATE_DOWNLOAD 168
#define IDC_DOWNLOAD_ADDRESS 1038
#define IDC_DOWNLOAD_PROGRESS 1039
#define IDS_UNSIGNED_SETUP 200
#define IDS_SETUP_OTHER_SIGNER 201

// Service operations: the parameters and "Connect as" dialogs, and the texts
// of the kill command (ops uses string ids 189 to 199).
#define IDD_CONNECT_AS 103
#define IDD_SERVICE_PARAMETERS 165
#define IDC_CONNECT_HOST 1000
#define IDC_CONNECT_USER 1002
#define IDC_CONNECT_BROWSE 1003
#define IDC_PASSWORD 1004
#define IDC_PARAM_NAME 1027
#define IDC_PARAM_DISPLAY_NAME 1028
#define IDC_PARAM_COMMAND 1029
#define IDC_PARAM_SERVICE_TYPE 1030
#define IDC_PARAM_START_TYPE 1031
#define IDC_PARAM_ACCOUNT 1032
#define IDC_PARAM_BROWSE 1033
#define IDC_PARAM_INTERACTIVE 1036
#define IDS_PROCESSES_KILLED 189
#define IDS_PROCESS_KILLED 190
#define IDS_KILL_ONLY_LOCAL 191
