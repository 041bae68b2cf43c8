#include "export/SharedStrings.h"

#include <algorithm>

namespace kelvane::biff {

uint32_t SharedStrings::use(uint32_t poolId, const std::u16string& text) {
    ++totalCount_;
    if (poolId >= indexOfPool_.size()) {
        indexOfPool_.resize(poolId + 1, kUnused);
    }
    uint32_t& index = indexOfPool_[poolId];
    if (index == kUnused) {
        index = static_cast<uint32_t>(order_.size());
        order_.push_back(&text);
    }
    return index;
}

void SharedStrings::build(Bytes& data, std::vector<size_t>& splits) const {
    // Below this many bytes before the limit a string is not started at all.
    constexpr size_t kMinStart = 12;
    data.clear();
    splits.clear();
    put32(data, totalCount_);
    put32(data, uniqueCount());
    size_t limit = kMaxRecordData;
    auto startContinue = [&] {
        splits.push_back(data.size());
        limit = data.size() + kMaxRecordData;
    };
    for (const std::u16string* entry : order_) {
        std::u16string_view text(*entry);
        bool compressed = fitsCompressed(text);
        size_t charSize = compressed ? 1 : 2;
        size_t bytes = 3 + text.size() * charSize;
        if (data.size() + bytes > limit && limit - data.size() < kMinStart) {
            startContinue();
        }
        put16(data, static_cast<unsigned>(text.size()));
        put8(data, compressed ? 0 : 1);
        if (data.size() + text.size() * charSize <= limit) {
            putCharacters(data, text, compressed);
            continue;
        }
        // The string straddles the limit: whole characters up to it, the rest
        // in as many CONTINUE records as it takes, each led by the flag byte.
        while (!text.empty()) {
            size_t room = (limit - data.size()) / charSize;
            size_t take = std::min(room, text.size());
            putCharacters(data, text.substr(0, take), compressed);
            text.remove_prefix(take);
            if (!text.empty()) {
                startContinue();
                put8(data, compressed ? 0 : 1);
            }
        }
    }
}

} // namespace kelvane::biff
