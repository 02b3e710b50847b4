#include "foundation/platform/LargePages.h"

#include <sys/mman.h>

#include <cstdint>

namespace salvora {
namespace {

constexpr std::uintptr_t largePageSize = std::uintptr_t{1} << 21;

}  // namespace

void adviseLargePages(void* data, std::size_t size) {
    const auto start = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t first = (start + largePageSize - 1) & ~(largePageSize - 1);
    const std::uintptr_t end = (start + size) & ~(largePageSize - 1);
    // Advice only: where the system declines, the memory works as before.
    if (end > first) ::madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE);
}

}  // namespace salvora
