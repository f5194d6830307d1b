// Large page-aligned blocks for the bulk data of an open: the text of a file, its waveforms and
// the records of its test areas.
#pragma once

#include <cstddef>
#include <memory>
#include <type_traits>

namespace tavolin {

// `bytes` bytes of fresh, zeroed, page-aligned memory, freed with the last share of the
// pointer. Blocks of megabytes are advised for large pages: filling tens of megabytes page by
// small page costs more in page faults than the copying itself. Throws std::bad_alloc when the
// memory is not there.
std::shared_ptr<void> allocateLargeBlock(size_t bytes);

// One large block handed out front to back, for the many lists an open fills at once. Memory
// given out is never taken back one piece at a time; the block goes with its last user.
class LargeArena {
public:
    explicit LargeArena(size_t bytes);
    // `bytes` aligned to `align`, or null when the block has no room left.
    void* take(size_t bytes, size_t align);
    bool owns(const void* p) const;

private:
    std::shared_ptr<void> block_;
    char* base_ = nullptr;
    size_t size_ = 0;
    size_t used_ = 0;
};

// An allocator that serves a container from a shared arena while it has room, and from the
// heap otherwise. Each container keeps its arena alive, so containers may move between jobs
// freely; a copy starts on the heap.
template <class T> class ArenaAllocator {
public:
    using value_type = T;
    using propagate_on_container_move_assignment = std::true_type;
    using propagate_on_container_swap = std::true_type;
    using is_always_equal = std::false_type;

    ArenaAllocator() noexcept = default;
    explicit ArenaAllocator(std::shared_ptr<LargeArena> arena) noexcept
        : arena_(std::move(arena)) {}
    template <class U>
    ArenaAllocator(const ArenaAllocator<U>& other) noexcept : arena_(other.arena()) {}

    T* allocate(size_t n) {
        if (arena_)
            if (void* p = arena_->take(n * sizeof(T), alignof(T)))
                return static_cast<T*>(p);
        return std::allocator<T>().allocate(n);
    }
    void deallocate(T* p, size_t n) noexcept {
        if (arena_ && arena_->owns(p))
            return;
        std::allocator<T>().deallocate(p, n);
    }
    ArenaAllocator select_on_container_copy_construction() const { return {}; }
    const std::shared_ptr<LargeArena>& arena() const noexcept { return arena_; }

    template <class U>
    friend bool operator==(const ArenaAllocator& a, const ArenaAllocator<U>& b) noexcept {
        return a.arena() == b.arena();
    }

private:
    template <class U> friend class ArenaAllocator;
    std::shared_ptr<LargeArena> arena_;
};

} // namespace tavolin
