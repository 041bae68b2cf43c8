#pragma once
// The two configuration queries of an open service, as the reader makes
// them. The product answers with advapi32; tests answer with what Wine's
// manager does not give (dependencies, recovery actions, delayed and trigger
// start), laid out as the manager lays it out.
#include <windows.h>

namespace kelvane {

class ServiceConfigSource {
public:
    virtual ~ServiceConfigSource() = default;
    // As QueryServiceConfigA and QueryServiceConfig2A: 0 or the call's error
    // code; needed is set as the call sets it.
    virtual DWORD queryConfig(SC_HANDLE service, QUERY_SERVICE_CONFIGA* buffer, DWORD size,
                              DWORD& needed) = 0;
    virtual DWORD queryConfig2(SC_HANDLE service, DWORD level, BYTE* buffer, DWORD size,
                               DWORD& needed) = 0;
};

// The system's own; source when it is given.
ServiceConfigSource& configSourceOr(ServiceConfigSource* source);

} // namespace kelvane
