#pragma once
// Counts the calls this program makes to the service manager and the
// registry by putting counting stand-ins into its own import table, so a
// benchmark can say how many platform calls a piece of work needed.
namespace kelvane::bench {

struct PlatformCalls {
    long all = 0;           // service manager and registry calls
    long configuration = 0; // QueryServiceConfigA alone
};

// Once, before anything looks the enumeration function up.
void countPlatformCalls();
PlatformCalls platformCalls();

} // namespace kelvane::bench
