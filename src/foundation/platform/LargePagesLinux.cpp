#include "foundation/platform/LargePages.h"

#include <sys/mman.h>

namespace salvora {
namespace {

constexpr std::size_t largePageSize = std::size_t{1} << 21;

std::align_val_t alignmentFor(std::size_t size) {
    return std::align_val_t{size >= largePageSize ? largePageSize
                                                  : __STDCPP_DEFAULT_NEW_ALIGNMENT__};
}

}  // namespace

std::byte* allocateLarge(std::size_t size) {
    auto* data = static_cast<std::byte*>(::operator new(size, alignmentFor(size)));
    // Advice only: where the system declines, the memory works as before.
    if (size >= largePageSize) ::madvise(data, size, MADV_HUGEPAGE);
    return data;
}

void releaseLarge(std::byte* data, std::size_t size) noexcept {
    ::operator delete(data, alignmentFor(size));
}

}  // namespace salvora
