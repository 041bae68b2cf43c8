#pragma once
// An immutable, reference-counted 8-bit text. Copies share one buffer, so a
// row or a whole table can be copied without copying a character; the count
// is atomic because the reader thread and the user-interface thread hold
// copies of the same cells. The empty text owns no buffer.
#include <atomic>
#include <cstddef>
#include <string>
#include <string_view>

namespace kelvane {

class SharedTextBatch;

class SharedText {
public:
    SharedText() noexcept = default;
    SharedText(const char* text);
    SharedText(const char* text, std::size_t size);
    SharedText(std::string_view text) : SharedText(text.data(), text.size()) {}
    SharedText(const std::string& text) : SharedText(text.data(), text.size()) {}

    // Copies, moves and ends are inline: a table of thousands of rows makes
    // hundreds of thousands of them.
    SharedText(const SharedText& other) noexcept : block_(other.block_) { addReference(); }
    SharedText(SharedText&& other) noexcept : block_(other.block_) { other.block_ = nullptr; }
    SharedText& operator=(const SharedText& other) noexcept {
        // Taken before release: in x = x, release empties other as well.
        Block* incoming = other.block_;
        if (incoming) {
            incoming->refs.fetch_add(1, std::memory_order_relaxed);
        }
        release();
        block_ = incoming;
        return *this;
    }
    SharedText& operator=(SharedText&& other) noexcept {
        if (this != &other) {
            release();
            block_ = other.block_;
            other.block_ = nullptr;
        }
        return *this;
    }
    ~SharedText() { release(); }

    // Always NUL-terminated; "" for the empty text.
    const char* c_str() const noexcept { return block_ ? block_->chars() : ""; }
    const char* data() const noexcept { return c_str(); }
    std::size_t size() const noexcept { return block_ ? block_->size & ~inBatch : 0; }
    bool empty() const noexcept { return block_ == nullptr; }
    std::string_view view() const noexcept { return {c_str(), size()}; }
    std::string str() const { return std::string(view()); }

    // Byte-wise, as unsigned characters; a prefix sorts first.
    int compare(const SharedText& other) const noexcept;
    bool sharesBufferWith(const SharedText& other) const noexcept {
        return block_ != nullptr && block_ == other.block_;
    }

    friend bool operator==(const SharedText& a, const SharedText& b) noexcept;
    friend bool operator!=(const SharedText& a, const SharedText& b) noexcept { return !(a == b); }
    friend bool operator<(const SharedText& a, const SharedText& b) noexcept {
        return a.compare(b) < 0;
    }
    friend bool operator>(const SharedText& a, const SharedText& b) noexcept { return b < a; }
    friend bool operator<=(const SharedText& a, const SharedText& b) noexcept { return !(b < a); }
    friend bool operator>=(const SharedText& a, const SharedText& b) noexcept { return !(a < b); }

private:
    friend class SharedTextBatch;

    // The characters follow the header in the same allocation. A block made
    // by a SharedTextBatch lies in one of its chunks, with the chunk's
    // address just before it and this bit set in its size.
    static constexpr std::size_t inBatch = std::size_t(1) << (sizeof(std::size_t) * 8 - 1);
    struct Block {
        std::atomic<std::size_t> refs;
        std::size_t size;

        char* chars() { return reinterpret_cast<char*>(this + 1); }
    };
    explicit SharedText(Block* block) noexcept : block_(block) {}

    void addReference() noexcept {
        if (block_) {
            block_->refs.fetch_add(1, std::memory_order_relaxed);
        }
    }
    void release() noexcept {
        if (block_ && block_->refs.fetch_sub(1, std::memory_order_acq_rel) == 1) {
            destroyBlock(block_);
        }
        block_ = nullptr;
    }
    static void destroyBlock(Block* block) noexcept;

    Block* block_ = nullptr;
};

// Makes many texts, such as those of a stored table, in a few large chunks
// instead of one allocation each. Each text still counts its own copies and
// may go to any thread; a chunk is freed when its last text has gone and
// the batch has moved on.
class SharedTextBatch {
public:
    SharedTextBatch() = default;
    ~SharedTextBatch() { leaveChunk(); }
    SharedTextBatch(const SharedTextBatch&) = delete;
    SharedTextBatch& operator=(const SharedTextBatch&) = delete;

    SharedText make(std::string_view text);

    struct Chunk;

private:
    void leaveChunk() noexcept;

    Chunk* chunk_ = nullptr;
    char* next_ = nullptr;
    std::size_t left_ = 0;
    std::size_t made_ = 0; // texts made in the current chunk
};

} // namespace kelvane
