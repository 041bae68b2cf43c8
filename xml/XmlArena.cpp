#include "xml/XmlArena.h"

#include <cstdint>

namespace kelvane {

namespace {

constexpr std::size_t largestBlock = 64 * 1024;

} // namespace

void* XmlArena::allocate(std::size_t size, std::size_t alignment) {
    auto padding = [&] {
        const auto at = reinterpret_cast<std::uintptr_t>(next_);
        return static_cast<std::size_t>((alignment - at % alignment) % alignment);
    };
    if (!next_ || padding() + size > left_) {
        // A request larger than a block gets a block of its own.
        const std::size_t bytes = size + alignment > nextBlock_ ? size + alignment : nextBlock_;
        nextBlock_ = nextBlock_ < largestBlock ? nextBlock_ * 2 : largestBlock;
        blocks_.emplace_back(
            new char[bytes]); // left uninitialised: it is written before it is read
        next_ = blocks_.back().get();
        left_ = bytes;
    }
    const std::size_t skip = padding();
    void* at = next_ + skip;
    next_ += skip + size;
    left_ -= skip + size;
    return at;
}

void XmlArena::clear() {
    blocks_.clear();
    next_ = nullptr;
    left_ = 0;
    nextBlock_ = 256;
}

} // namespace kelvane
