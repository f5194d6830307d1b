// Anonymous memory mappings for the bulk data of an open.
#include "data/largeblock.h"

#include <new>

#include <sys/mman.h>

namespace tavolin {

std::shared_ptr<void> allocateLargeBlock(size_t bytes) {
    if (bytes == 0)
        bytes = 1;
    void* p = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED)
        throw std::bad_alloc();
#if defined(MADV_HUGEPAGE)
    constexpr size_t kLargePage = 2u << 20;
    if (bytes >= kLargePage)
        ::madvise(p, bytes, MADV_HUGEPAGE);
#endif
    try {
        return std::shared_ptr<void>(p, [bytes](void* q) { ::munmap(q, bytes); });
    } catch (...) {
        ::munmap(p, bytes);
        throw;
    }
}

} // namespace tavolin
