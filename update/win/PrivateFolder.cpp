#include "update/win/PrivateFolder.h"

#include "framework/win/UniqueHandle.h"

#include <objbase.h>
#include <sddl.h>

#include <vector>

namespace kelvane {

namespace {

void freeLocal(void* memory) {
    LocalFree(memory);
}
using LocalMemory = Plinth::UniqueHandle<void*, freeLocal>;

// The user of this process's token in SDDL form ("S-1-5-21-..."); an
// elevated run has the same user as the unelevated one, but owns new objects
// through the administrators group, so the owner is no good here.
std::string currentUserSid() {
    Plinth::UniqueHandleObject token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.put())) {
        return {};
    }
    DWORD size = 0;
    GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    if (size == 0 || !GetTokenInformation(token.get(), TokenUser, buffer.data(), size, &size)) {
        return {};
    }
    LocalMemory text;
    if (!ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid,
                                reinterpret_cast<char**>(text.put()))) {
        return {};
    }
    return static_cast<const char*>(text.get());
}

std::string randomHex() {
    GUID random{};
    if (FAILED(CoCreateGuid(&random))) {
        return {};
    }
    const auto* bytes = reinterpret_cast<const unsigned char*>(&random);
    std::string hex;
    for (size_t i = 0; i < sizeof random; ++i) {
        hex += "0123456789abcdef"[bytes[i] >> 4];
        hex += "0123456789abcdef"[bytes[i] & 15];
    }
    return hex;
}

} // namespace

std::string createPrivateFolder(const std::string& parent, const std::string& namePrefix) {
    std::string user = currentUserSid();
    if (user.empty() || parent.empty()) {
        return {};
    }
    // Protected (P): nothing of the temporary folder's own list is inherited.
    LocalMemory descriptor;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(
            ("D:P(A;OICI;FA;;;" + user + ")").c_str(), SDDL_REVISION_1, descriptor.put(),
            nullptr)) {
        return {};
    }
    SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor.get(), FALSE};
    // A name somebody made first is never taken over: CreateDirectory fails
    // on it, and the next name is tried.
    for (int attempt = 0; attempt < 4; ++attempt) {
        std::string random = randomHex();
        if (random.empty()) {
            return {};
        }
        std::string folder = parent + namePrefix + random;
        if (CreateDirectoryA(folder.c_str(), &attributes)) {
            return folder + "\\";
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) {
            return {};
        }
    }
    return {};
}

} // namespace kelvane
