#pragma once
// Test-side reading of a BIFF8 stream: the records with their positions.
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

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

inline void saveBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

} // namespace biffwalk
