// Command lines come from any service's configuration and version resources
// from any file on the disk: neither may make the resolution misbehave.
#include "inventory/ImagePath.h"
#include "inventory/VersionDetails.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <set>
#include <string>

namespace {

// Every candidate whose length is a multiple of 3 exists.
class AnyFiles : public kelvane::PathProbe {
public:
    mutable std::set<std::string> searched;
    std::optional<std::string> search(const std::string& candidate) const override {
        searched.insert(candidate);
        return candidate.size() % 3 == 0 ? std::optional<std::string>(candidate) : std::nullopt;
    }
    bool isFile(const std::string& path) const override { return path.size() % 2 == 0; }
};

// The input cut into the values of a resource at fixed paths.
class SlicedResource : public kelvane::VersionResource {
public:
    std::map<std::string, std::string> values;
    std::optional<std::string> query(const std::string& path) const override {
        auto it = values.find(path);
        if (it == values.end()) {
            return std::nullopt;
        }
        return it->second;
    }
    std::optional<std::string> languageName(std::uint16_t language) const override {
        return std::to_string(language);
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);

    AnyFiles files;
    std::string found = kelvane::resolveImagePath(input, true, "c:\\windows", files);
    if (!found.empty() && !files.searched.count(found)) {
        __builtin_trap();
    }

    SlicedResource resource;
    size_t third = size / 3;
    resource.values["\\"] = input.substr(0, third);
    resource.values["\\VarFileInfo\\Translation"] = input.substr(third, third);
    std::string rest = input.substr(2 * third);
    for (const char* block : {"040904e4", "00000000", "ffffffff"}) {
        for (const char* name : {"CompanyName", "FileDescription", "Comments"}) {
            resource.values[std::string("\\StringFileInfo\\") + block + "\\" + name] = rest;
        }
    }
    kelvane::FileDetails details;
    kelvane::readVersionDetails(resource, details);
    if (details.manufacturer.size() > rest.size()) {
        __builtin_trap();
    }
    return 0;
}
