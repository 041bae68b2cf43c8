#pragma once
// Test-side reading of a BIFF8 stream: the records with their positions, and
// the shared strings decoded by the rules readers apply to CONTINUE records.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace biffwalk {

struct Record {
    size_t position; // of the header
    uint16_t type;
    std::vector<uint8_t> data;
};

inline unsigned u16(const std::vector<uint8_t>& d, size_t at) {
    return d.at(at) | d.at(at + 1) << 8;
}
inline uint32_t u32(const std::vector<uint8_t>& d, size_t at) {
    return u16(d, at) | static_cast<uint32_t>(u16(d, at + 2)) << 16;
}

inline std::vector<Record> records(const std::vector<uint8_t>& stream) {
    std::vector<Record> result;
    size_t at = 0;
    while (at + 4 <= stream.size()) {
        Record record{at, static_cast<uint16_t>(u16(stream, at)), {}};
        size_t size = u16(stream, at + 2);
        record.data.assign(stream.begin() + at + 4, stream.begin() + at + 4 + size);
        result.push_back(record);
        at += 4 + size;
    }
    return result;
}

inline std::vector<Record> ofType(const std::vector<Record>& all, uint16_t type) {
    std::vector<Record> result;
    for (const auto& r : all) {
        if (r.type == type) {
            result.push_back(r);
        }
    }
    return result;
}

// The SST record at `index` and its CONTINUE records, decoded string by string.
// A string's header must lie in one record; characters resume after a flag byte.
inline std::vector<std::u16string> sstStrings(const std::vector<Record>& all, size_t index,
                                              uint32_t* total = nullptr) {
    std::vector<const std::vector<uint8_t>*> parts{&all.at(index).data};
    for (size_t i = index + 1; i < all.size() && all[i].type == 0x003C; ++i) {
        parts.push_back(&all[i].data);
    }
    size_t part = 0, at = 8;
    if (total) {
        *total = u32(*parts[0], 0);
    }
    uint32_t unique = u32(*parts[0], 4);
    std::vector<std::u16string> strings;
    for (uint32_t s = 0; s < unique; ++s) {
        if (at == parts[part]->size()) {
            ++part;
            at = 0;
        }
        const auto& d = *parts.at(part);
        size_t count = u16(d, at);
        bool wide = d.at(at + 2) & 1;
        at += 3;
        std::u16string text;
        while (text.size() < count) {
            if (at == parts[part]->size()) {
                ++part;
                at = 0;
                wide = parts.at(part)->at(at++) & 1;
            }
            const auto& p = *parts[part];
            if (wide) {
                text.push_back(static_cast<char16_t>(u16(p, at)));
                at += 2;
            } else {
                text.push_back(p.at(at++));
            }
        }
        strings.push_back(text);
    }
    return strings;
}

inline void saveBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

// Runs Debian's python (the one that has xlrd) on a script; its output in *output.
inline int runPython(const std::string& script, const std::string& args, std::string* output) {
    std::string scriptPath = "/tmp/kelvane-export-test-" + std::to_string(::getpid()) + ".py";
    std::ofstream(scriptPath) << script;
    std::string command = "/usr/bin/python3 " + scriptPath + " " + args + " 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) {
        return -1;
    }
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        output->append(buffer, n);
    }
    int status = ::pclose(pipe);
    std::remove(scriptPath.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace biffwalk
