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
// The certificates a downloaded setup must be signed with, each as
// {subject, thumbprint}: the subject in the X.500 form Windows writes, most
// specific part first ("CN=..., O=..., C=..."), and the certificate's SHA-256
// (64 hex digits) or SHA-1 (40) thumbprint. A renewed certificate is added
// beside the old one, which stays while published setups still carry it. The
// entry below stands until whoever ships the program sets the real
// certificate: it matches no certificate, so no downloaded setup is started.
// clang-format off
#define KELVANE_PUBLISHER_CERTIFICATES \
    {"CN=Trevolt AB, O=Trevolt AB, C=SE", \
     "0000000000000000000000000000000000000000000000000000000000000000"}
// clang-format on
