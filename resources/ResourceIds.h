#pragma once
// Resource and command numbers shared by the resource script and the code.
// Other issues add their dialogs, menus and control ids here.
#define IDI_KELVANE 1
#define IDB_CLASS_ICONS 132
#define IDR_ACCELERATORS 129

// Commands reached through the accelerator table.
#define IDC_REFRESH 1007
#define ID_EXIT 32769
#define ID_HELP_CONTENTS 57670

// String table: 101 to 188 in every language.
#define IDS_FIRST 101
#define IDS_LAST 188
