// Changes a service's display name through the service control manager from
// a process of its own, as another tool would: "<service> <name> [count]"
// sets "<name>-0" to "<name>-<count - 1>" one after the other (without a
// count, just "<name>"). Exit code 0 when every change was made.
#include "framework/win/UniqueHandle.h"

#include <windows.h>

#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    if (argc < 3) {
        return 2;
    }
    Plinth::UniqueServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
    Plinth::UniqueServiceHandle service(
        manager ? OpenServiceA(manager.get(), argv[1], SERVICE_CHANGE_CONFIG) : nullptr);
    if (!service) {
        return 1;
    }
    int count = argc > 3 ? std::atoi(argv[3]) : 0;
    for (int i = 0; i < (count > 0 ? count : 1); ++i) {
        std::string name = count > 0 ? std::string(argv[2]) + "-" + std::to_string(i) : argv[2];
        if (!ChangeServiceConfigA(service.get(), SERVICE_NO_CHANGE, SERVICE_NO_CHANGE,
                                  SERVICE_NO_CHANGE, nullptr, nullptr, nullptr, nullptr, nullptr,
                                  nullptr, name.c_str())) {
            return 1;
        }
    }
    return 0;
}
