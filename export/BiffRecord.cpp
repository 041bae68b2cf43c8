#include "export/BiffRecord.h"

#include <algorithm>

namespace kelvane::biff {

bool fitsCompressed(std::u16string_view text) {
    return std::all_of(text.begin(), text.end(), [](char16_t c) { return c < 0x100; });
}

void putCharacters(Bytes& out, std::u16string_view text, bool compressed) {
    for (char16_t c : text) {
        if (compressed) {
            put8(out, c);
        } else {
            put16(out, c);
        }
    }
}

void putShortString(Bytes& out, std::u16string_view text) {
    text = text.substr(0, 0xFF);
    bool compressed = fitsCompressed(text);
    put8(out, static_cast<unsigned>(text.size()));
    put8(out, compressed ? 0 : 1);
    putCharacters(out, text, compressed);
}

void putLongString(Bytes& out, std::u16string_view text) {
    text = text.substr(0, 0xFFFF);
    bool compressed = fitsCompressed(text);
    put16(out, static_cast<unsigned>(text.size()));
    put8(out, compressed ? 0 : 1);
    putCharacters(out, text, compressed);
}

size_t writtenSize(size_t dataSize) {
    size_t parts = dataSize == 0 ? 1 : (dataSize + kMaxRecordData - 1) / kMaxRecordData;
    return dataSize + parts * kRecordHeader;
}

size_t writtenSize(size_t dataSize, const std::vector<size_t>& splits) {
    if (splits.empty()) {
        return writtenSize(dataSize);
    }
    return dataSize + (splits.size() + 1) * kRecordHeader;
}

void appendRecord(Bytes& out, uint16_t type, const Bytes& data, const std::vector<size_t>& splits) {
    std::vector<size_t> cuts = splits;
    if (cuts.empty()) {
        for (size_t at = kMaxRecordData; at < data.size(); at += kMaxRecordData) {
            cuts.push_back(at);
        }
    }
    size_t begin = 0;
    for (size_t i = 0; i <= cuts.size(); ++i) {
        size_t end = i < cuts.size() ? cuts[i] : data.size();
        putHeader(out, i == 0 ? type : static_cast<uint16_t>(kContinue), end - begin);
        out.insert(out.end(), data.begin() + begin, data.begin() + end);
        begin = end;
    }
}

} // namespace kelvane::biff
