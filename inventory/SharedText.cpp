#include "inventory/SharedText.h"

#include <atomic>
#include <cstring>
#include <new>

namespace kelvane {

// The characters follow the header in the same allocation.
struct SharedText::Block {
    std::atomic<std::size_t> refs;
    std::size_t size;

    char* chars() { return reinterpret_cast<char*>(this + 1); }
};

SharedText::SharedText(const char* text) : SharedText(text, text ? std::strlen(text) : 0) {}

SharedText::SharedText(const char* text, std::size_t size) {
    if (size == 0) {
        return;
    }
    void* memory = ::operator new(sizeof(Block) + size + 1);
    block_ = new (memory) Block{{1}, size};
    std::memcpy(block_->chars(), text, size);
    block_->chars()[size] = '\0';
}

SharedText::SharedText(const SharedText& other) noexcept : block_(other.block_) {
    if (block_) {
        block_->refs.fetch_add(1, std::memory_order_relaxed);
    }
}

SharedText& SharedText::operator=(const SharedText& other) noexcept {
    // Taken before release: in x = x, release empties other as well.
    Block* incoming = other.block_;
    if (incoming) {
        incoming->refs.fetch_add(1, std::memory_order_relaxed);
    }
    release();
    block_ = incoming;
    return *this;
}

SharedText& SharedText::operator=(SharedText&& other) noexcept {
    if (this != &other) {
        release();
        block_ = other.block_;
        other.block_ = nullptr;
    }
    return *this;
}

void SharedText::release() noexcept {
    if (block_ && block_->refs.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        block_->~Block();
        ::operator delete(block_);
    }
    block_ = nullptr;
}

const char* SharedText::c_str() const noexcept {
    return block_ ? block_->chars() : "";
}

std::size_t SharedText::size() const noexcept {
    return block_ ? block_->size : 0;
}

int SharedText::compare(const SharedText& other) const noexcept {
    if (block_ == other.block_) {
        return 0;
    }
    const std::size_t a = size(), b = other.size();
    const int bytes = std::memcmp(c_str(), other.c_str(), a < b ? a : b);
    if (bytes != 0) {
        return bytes;
    }
    return a < b ? -1 : (a > b ? 1 : 0);
}

bool operator==(const SharedText& a, const SharedText& b) noexcept {
    if (a.block_ == b.block_) {
        return true;
    }
    return a.size() == b.size() && std::memcmp(a.c_str(), b.c_str(), a.size()) == 0;
}

} // namespace kelvane
