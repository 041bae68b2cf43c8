#pragma once
// Resource numbers shared by the resource script and the code.
#define IDI_KELVANE 1
#define IDB_CLASS_ICONS 132
#define IDR_ACCELERATORS 129
