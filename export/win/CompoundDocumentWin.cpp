#include "export/CompoundDocument.h"
#include "framework/win/UniqueHandle.h"

#include <objbase.h>
#include <windows.h>

namespace kelvane {

namespace {

template <typename T> void releaseInterface(T* object) {
    object->Release();
}
template <typename T> using ComOwner = Plinth::UniqueHandle<T*, &releaseInterface<T>>;

std::wstring wide(const std::string& text) {
    int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring result(length > 0 ? length : 1, L'\0');
    if (length > 0) {
        MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, result.data(), length);
    }
    result.resize(result.size() - 1);
    return result;
}

constexpr DWORD kCreateMode = STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE;
constexpr DWORD kOpenMode = STGM_READWRITE | STGM_SHARE_EXCLUSIVE;

} // namespace

bool writeCompoundDocument(const std::string& fileName, const std::string& streamName,
                           const std::vector<uint8_t>& content) {
    ComOwner<IStorage> storage;
    if (FAILED(StgCreateDocfile(wide(fileName).c_str(), kCreateMode, 0, storage.put()))) {
        return false;
    }
    std::wstring name = wide(streamName);
    {
        ComOwner<IStream> created;
        if (FAILED(storage.get()->CreateStream(name.c_str(), kCreateMode, 0, 0, created.put()))) {
            return false;
        }
    }
    ComOwner<IStream> stream;
    if (FAILED(storage.get()->OpenStream(name.c_str(), nullptr, kOpenMode, 0, stream.put()))) {
        return false;
    }
    ULONG written = 0;
    auto size = static_cast<ULONG>(content.size());
    if (content.size() != size || FAILED(stream.get()->Write(content.data(), size, &written)) ||
        written != size) {
        return false;
    }
    stream.reset();
    // A failed flush of the document is a failed save, not a silent loss.
    return SUCCEEDED(storage.get()->Commit(STGC_DEFAULT));
}

} // namespace kelvane
