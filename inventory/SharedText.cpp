#include "inventory/SharedText.h"

#include <atomic>
#include <cstring>
#include <new>

namespace kelvane {

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

// A chunk counts its texts that are still alive. While the batch makes texts
// in it the count starts from a number no chunk reaches, so that texts let
// go meanwhile cannot free it; leaving the chunk takes that number back.
struct SharedTextBatch::Chunk {
    std::atomic<std::size_t> texts;

    static constexpr std::size_t making = std::size_t(1) << (sizeof(std::size_t) * 8 - 2);
    static constexpr std::size_t bytes = 16 * 1024;

    void release(std::size_t count) noexcept {
        if (texts.fetch_sub(count, std::memory_order_acq_rel) == count) {
            this->~Chunk();
            ::operator delete(this);
        }
    }
};

void SharedText::destroyBlock(Block* block) noexcept {
    const bool batched = (block->size & inBatch) != 0;
    SharedTextBatch::Chunk* chunk =
        batched ? *(reinterpret_cast<SharedTextBatch::Chunk**>(block) - 1) : nullptr;
    block->~Block();
    if (batched) {
        chunk->release(1);
    } else {
        ::operator delete(block);
    }
}

SharedText SharedTextBatch::make(std::string_view text) {
    using Block = SharedText::Block;
    const std::size_t size = text.size();
    // The chunk's address, the header and the characters with their NUL,
    // kept at pointer alignment.
    const std::size_t need =
        (sizeof(Chunk*) + sizeof(Block) + size + 1 + alignof(Block) - 1) & ~(alignof(Block) - 1);
    if (size == 0 || need > Chunk::bytes / 8) {
        return SharedText(text); // a long text is not worth a chunk's room
    }
    if (need > left_) {
        leaveChunk();
        chunk_ = new (::operator new(Chunk::bytes)) Chunk{{Chunk::making}};
        next_ = reinterpret_cast<char*>(chunk_ + 1); // sizeof(Chunk) keeps the alignment
        left_ = Chunk::bytes - sizeof(Chunk);
    }
    *reinterpret_cast<Chunk**>(next_) = chunk_;
    Block* block = new (next_ + sizeof(Chunk*)) Block{{1}, size | SharedText::inBatch};
    std::memcpy(block->chars(), text.data(), size);
    block->chars()[size] = '\0';
    next_ += need;
    left_ -= need;
    ++made_;
    return SharedText(block);
}

void SharedTextBatch::leaveChunk() noexcept {
    if (chunk_) {
        chunk_->release(Chunk::making - made_);
    }
    chunk_ = nullptr;
    left_ = 0;
    made_ = 0;
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
