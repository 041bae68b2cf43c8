#pragma once
// An immutable, reference-counted 8-bit text. Copies share one buffer, so a
// row or a whole table can be copied without copying a character; the count
// is atomic because the reader thread and the user-interface thread hold
// copies of the same cells. The empty text owns no buffer.
#include <cstddef>
#include <string>
#include <string_view>

namespace kelvane {

class SharedText {
public:
    SharedText() noexcept = default;
    SharedText(const char* text);
    SharedText(const char* text, std::size_t size);
    SharedText(std::string_view text) : SharedText(text.data(), text.size()) {}
    SharedText(const std::string& text) : SharedText(text.data(), text.size()) {}

    SharedText(const SharedText& other) noexcept;
    SharedText(SharedText&& other) noexcept : block_(other.block_) { other.block_ = nullptr; }
    SharedText& operator=(const SharedText& other) noexcept;
    SharedText& operator=(SharedText&& other) noexcept;
    ~SharedText() { release(); }

    // Always NUL-terminated; "" for the empty text.
    const char* c_str() const noexcept;
    const char* data() const noexcept { return c_str(); }
    std::size_t size() const noexcept;
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
    struct Block;
    void release() noexcept;

    Block* block_ = nullptr;
};

} // namespace kelvane
