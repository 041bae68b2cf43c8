// Another process reaching for a file the update holds:
//   kelvane-open-file write|delete PATH
// opens PATH for writing or for deleting, sharing everything itself, and
// exits with 0 when that worked, else with the error code (32: the file is
// held).
#include <windows.h>

#include <cstring>

int main(int argc, char** argv) {
    if (argc != 3) {
        return 87;
    }
    DWORD access = std::strcmp(argv[1], "delete") == 0 ? DELETE : GENERIC_WRITE;
    HANDLE file =
        CreateFileA(argv[2], access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return static_cast<int>(GetLastError());
    }
    CloseHandle(file);
    return 0;
}
