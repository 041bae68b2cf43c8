#pragma once
// Memory for the elements of one document and their attributes, taken in
// large blocks and given back all at once when the document goes: a file of
// thousands of elements then costs a few dozen allocations instead of
// several per element.
#include <cstddef>
#include <memory>
#include <type_traits>
#include <vector>

namespace kelvane {

class XmlArena {
public:
    XmlArena() = default;
    XmlArena(const XmlArena&) = delete;
    XmlArena& operator=(const XmlArena&) = delete;

    // Never null; the memory lives until clear or the arena's end.
    void* allocate(std::size_t size, std::size_t alignment);
    void clear();

private:
    std::vector<std::unique_ptr<char[]>> blocks_;
    char* next_ = nullptr;
    std::size_t left_ = 0;
    // Small at first, for the few attributes of an element written, and
    // doubling up to the blocks of a whole document.
    std::size_t nextBlock_ = 256;
};

// A standard allocator that takes from an arena, or from the heap when it
// has none. Containers move their arena along; a copy takes the heap, so it
// may outlive the document.
template <typename T> class XmlArenaAllocator {
public:
    using value_type = T;
    using propagate_on_container_move_assignment = std::true_type;
    using propagate_on_container_swap = std::true_type;

    XmlArenaAllocator() noexcept = default;
    explicit XmlArenaAllocator(XmlArena* arena) noexcept : arena_(arena) {}
    template <typename U>
    XmlArenaAllocator(const XmlArenaAllocator<U>& other) noexcept : arena_(other.arena()) {}

    T* allocate(std::size_t count) {
        if (!arena_) {
            return std::allocator<T>().allocate(count);
        }
        return static_cast<T*>(arena_->allocate(count * sizeof(T), alignof(T)));
    }
    void deallocate(T* pointer, std::size_t count) noexcept {
        if (!arena_) {
            std::allocator<T>().deallocate(pointer, count);
        }
    }
    XmlArenaAllocator select_on_container_copy_construction() const noexcept { return {}; }

    XmlArena* arena() const noexcept { return arena_; }
    template <typename U> bool operator==(const XmlArenaAllocator<U>& other) const noexcept {
        return arena_ == other.arena();
    }
    template <typename U> bool operator!=(const XmlArenaAllocator<U>& other) const noexcept {
        return arena_ != other.arena();
    }

private:
    XmlArena* arena_ = nullptr;
};

} // namespace kelvane
