#include "host/heap.h"

#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>

namespace kado::host {

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kOwnAllocator = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kOwnAllocator = false;
#else
constexpr bool kOwnAllocator = true;
#endif
#else
constexpr bool kOwnAllocator = true;
#endif

// A 1000-table invoice peaks near 100 MiB: one step holds it. Untouched, the
// reserve costs address space only.
constexpr size_t kStep = size_t{256} << 20;
// glibc's largest threshold: the package and XML buffers come from the heap,
// not from mappings of their own that each fault in anew.
constexpr int kMmapThreshold = 32 << 20;
constexpr uintptr_t kHugePage = uintptr_t{2} << 20;

}  // namespace

void PrepareHeap() {
    if (!kOwnAllocator) return;
    // A step given back would come again without the advice below.
    if (mallopt(M_MMAP_THRESHOLD, kMmapThreshold) != 1 || mallopt(M_TRIM_THRESHOLD, static_cast<int>(2 * kStep)) != 1 ||
        mallopt(M_TOP_PAD, static_cast<int>(kStep)) != 1)
        return;
    // One allocation beyond the top grows the heap by the step.
    void* probe = std::malloc(size_t{256} << 10);
    if (!probe) return;
    const auto at = reinterpret_cast<uintptr_t>(probe);
    const uintptr_t from = (at + kHugePage - 1) & ~(kHugePage - 1);
    const auto to = reinterpret_cast<uintptr_t>(sbrk(0));
    std::free(probe);
    if (to <= from) return;
    // Refused where the kernel has no huge pages: the heap works as before.
    if (madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE) != 0) return;
    // The stretch up to the first whole huge page would fault in 4 KiB at a
    // time: it is taken once, never touched, so that the work starts beyond it.
    static void* const below = std::malloc(from - at - 2 * sizeof(size_t));
    (void)below;
}

}  // namespace kado::host
