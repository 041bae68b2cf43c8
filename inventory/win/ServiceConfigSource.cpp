#include "inventory/win/ServiceConfigSource.h"

namespace kelvane {

namespace {

class Advapi32ConfigSource : public ServiceConfigSource {
public:
    DWORD queryConfig(SC_HANDLE service, QUERY_SERVICE_CONFIGA* buffer, DWORD size,
                      DWORD& needed) override {
        return QueryServiceConfigA(service, buffer, size, &needed) ? ERROR_SUCCESS : GetLastError();
    }
    DWORD queryConfig2(SC_HANDLE service, DWORD level, BYTE* buffer, DWORD size,
                       DWORD& needed) override {
        return QueryServiceConfig2A(service, level, buffer, size, &needed) ? ERROR_SUCCESS
                                                                           : GetLastError();
    }
};

} // namespace

ServiceConfigSource& configSourceOr(ServiceConfigSource* source) {
    static Advapi32ConfigSource advapi32;
    return source ? *source : advapi32;
}

} // namespace kelvane
