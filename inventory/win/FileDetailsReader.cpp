#include "inventory/win/FileDetailsReader.h"

#include "framework/win/UniqueHandle.h"
#include "inventory/TimeText.h"
#include "inventory/VersionDetails.h"

#include <windows.h>

#include <vector>

namespace kelvane {

namespace {

class LoadedVersionResource : public VersionResource {
public:
    explicit LoadedVersionResource(std::vector<BYTE> data) : data_(std::move(data)) {}

    std::optional<std::string> query(const std::string& path) const override {
        void* value = nullptr;
        UINT length = 0;
        // VerQueryValueA wants a writable block; it does not change it.
        if (!VerQueryValueA(const_cast<BYTE*>(data_.data()), path.c_str(), &value, &length) ||
            !value) {
            return std::nullopt;
        }
        return std::string(static_cast<const char*>(value), length);
    }

    std::optional<std::string> languageName(std::uint16_t language) const override {
        char name[80];
        DWORD length = VerLanguageNameA(language, name, sizeof name);
        if (length == 0 || length >= sizeof name) {
            return std::nullopt;
        }
        return std::string(name, length);
    }

private:
    std::vector<BYTE> data_;
};

void readVersionResource(const std::string& path, FileDetails& details) {
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), nullptr);
    if (size == 0) {
        return;
    }
    std::vector<BYTE> data(size, 0);
    if (!GetFileVersionInfoA(path.c_str(), 0, size, data.data())) {
        return;
    }
    readVersionDetails(LoadedVersionResource(std::move(data)), details);
}

std::string fileTimeText(const std::string& path) {
    Plinth::UniqueFileHandle file(
        CreateFileA(path.c_str(), 0, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    FILETIME written{}, local{};
    SYSTEMTIME time{};
    if (!file || !GetFileTime(file.get(), nullptr, nullptr, &written) ||
        !FileTimeToLocalFileTime(&written, &local) || !FileTimeToSystemTime(&local, &time)) {
        return {};
    }
    return formatTimeText({time.wYear, time.wMonth, time.wDayOfWeek, time.wDay, time.wHour,
                           time.wMinute, time.wSecond, time.wMilliseconds});
}

} // namespace

FileDetails readFileDetails(const std::string& path) {
    FileDetails details;
    readVersionResource(path, details);
    details.fileTime = fileTimeText(path);
    details.detailsRead = true;
    return details;
}

} // namespace kelvane
