#pragma once
// The shared string table of a workbook: equal strings share one entry, in
// the order of their first use, and the SST record is cut into CONTINUE
// records so that no string header is separated from its first character
// and a cut string resumes after a repeated flag byte.
#include "export/BiffRecord.h"

#include <string>
#include <vector>

namespace kelvane::biff {

class SharedStrings {
public:
    // The entry of the string pooled under `poolId` (an identity for equal
    // texts); counts one use. `text` is read only on first use.
    uint32_t use(uint32_t poolId, const std::u16string& text);

    uint32_t totalCount() const { return totalCount_; }
    uint32_t uniqueCount() const { return static_cast<uint32_t>(order_.size()); }

    // The SST record's data and the positions where its CONTINUE records start.
    void build(Bytes& data, std::vector<size_t>& splits) const;

private:
    static constexpr uint32_t kUnused = 0xFFFFFFFF;
    std::vector<uint32_t> indexOfPool_;
    std::vector<const std::u16string*> order_;
    uint32_t totalCount_ = 0;
};

} // namespace kelvane::biff
