#pragma once
// The product's published addresses, in one place for the About dialog, the
// Help menu and the update check. The ".example" addresses stand until
// whoever ships the program sets the real ones.
#define KELVANE_VERSION_TEXT "4.6"
#define KELVANE_WEB_ADDRESS "https://www.trevolt.example/kelvane"
#define KELVANE_MAIL_ADDRESS "kelvane@trevolt.example"
#define KELVANE_ISSUES_ADDRESS "https://www.trevolt.example/kelvane/issues"
// The version description (PAD file) the update check fetches; whoever
// ships may set it for the build instead, as -DKELVANE_PAD_ADDRESS="...".
#ifndef KELVANE_PAD_ADDRESS
#define KELVANE_PAD_ADDRESS "https://www.trevolt.example/kelvane/pad.xml"
#endif
