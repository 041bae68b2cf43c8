#pragma once
// The record layer's byte level: little-endian fields and the written form of
// a record (type, size, data), with the data cut into CONTINUE records where
// it is too long for one.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace kelvane::biff {

using Bytes = std::vector<uint8_t>;

// The most data bytes one record may carry.
constexpr size_t kMaxRecordData = 8224;
constexpr size_t kRecordHeader = 4;

enum RecordType : uint16_t {
    kEof = 0x000A,
    kContinue = 0x003C,
    kFont = 0x0031,
    kWindow1 = 0x003D,
    kBoundSheet = 0x0085,
    kDbCell = 0x00D7,
    kXf = 0x00E0,
    kSst = 0x00FC,
    kLabelSst = 0x00FD,
    kDimensions = 0x0200,
    kBlank = 0x0201,
    kRow = 0x0208,
    kIndex = 0x020B,
    kWindow2 = 0x023E,
    kStyle = 0x0293,
    kFormat = 0x041E,
    kBof = 0x0809,
};

inline void put8(Bytes& out, unsigned value) {
    out.push_back(static_cast<uint8_t>(value));
}

inline void put16(Bytes& out, unsigned value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

inline void put32(Bytes& out, uint32_t value) {
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

// Overwrites a 32-bit field already in the buffer.
inline void patch32(Bytes& out, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        out[at + i] = static_cast<uint8_t>(value >> (8 * i));
    }
}

// Characters of a BIFF8 string: one byte each when every one is below
// U+0100 (flag 0), else UTF-16LE (flag 1).
bool fitsCompressed(std::u16string_view text);
void putCharacters(Bytes& out, std::u16string_view text, bool compressed);

// Short string (8-bit count) and long string (16-bit count), each with its
// flag byte. The count is cut to what the field holds.
void putShortString(Bytes& out, std::u16string_view text);
void putLongString(Bytes& out, std::u16string_view text);

// The written size of a record of the given data size without split
// positions: the data is cut every kMaxRecordData bytes.
size_t writtenSize(size_t dataSize);

// Appends the written form. Without split positions, data beyond
// kMaxRecordData bytes goes into CONTINUE records of at most that size; with
// them, the data is cut exactly there (ascending, each part within the limit).
void appendRecord(Bytes& out, uint16_t type, const Bytes& data,
                  const std::vector<size_t>& splits = {});
size_t writtenSize(size_t dataSize, const std::vector<size_t>& splits);

// A record without splits whose data is small, straight into the stream.
inline void putHeader(Bytes& out, uint16_t type, size_t dataSize) {
    put16(out, type);
    put16(out, static_cast<unsigned>(dataSize));
}

} // namespace kelvane::biff
