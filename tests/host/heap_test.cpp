// The host's heap set-up: large buffers come from the heap, in memory the
// kernel may back with huge pages, and stay there when freed.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "host/heap.h"

namespace {

bool Sanitized() {
#if defined(__SANITIZE_ADDRESS__)
    return true;
#else
    return false;
#endif
}

bool HugePagesOffered() {
    std::ifstream f("/sys/kernel/mm/transparent_hugepage/enabled");
    std::string line;
    return std::getline(f, line) && line.find("[never]") == std::string::npos;
}

// The flags of the mapping that holds `p`, as /proc/self/smaps lists them.
std::string FlagsAt(const void* p) {
    const auto at = reinterpret_cast<uintptr_t>(p);
    std::ifstream smaps("/proc/self/smaps");
    bool inside = false;
    for (std::string line; std::getline(smaps, line);) {
        uintptr_t lo = 0, hi = 0;
        char dash = 0;
        std::istringstream head(line);
        if (head >> std::hex >> lo >> dash >> hi && dash == '-' && line.find(':') > line.find(' ')) {
            inside = at >= lo && at < hi;
            continue;
        }
        if (inside && line.starts_with("VmFlags:")) return line;
    }
    return {};
}

TEST(HostHeap, LargeBuffersLieInHugePageMemoryAndComeBackThere) {
    if (Sanitized()) GTEST_SKIP() << "the sanitizer's allocator replaces glibc's";
    if (!HugePagesOffered()) GTEST_SKIP() << "this kernel offers no transparent huge pages";
    kado::host::PrepareHeap();
    // Beyond glibc's default threshold, such a buffer would be a mapping of its own.
    constexpr size_t kSize = size_t{6} << 20;
    for (int round = 0; round < 2; ++round) {
        auto* buffer = static_cast<char*>(std::malloc(kSize));
        ASSERT_NE(buffer, nullptr);
        buffer[0] = buffer[kSize - 1] = 1;
        EXPECT_NE(FlagsAt(buffer + kSize / 2).find(" hg"), std::string::npos)
            << "round " << round << ": " << FlagsAt(buffer + kSize / 2);
        std::free(buffer);
    }
}

}  // namespace
