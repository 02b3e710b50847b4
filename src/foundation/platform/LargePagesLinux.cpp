#include "foundation/platform/LargePages.h"

#include <sys/mman.h>

#include <cstdint>

namespace salvora {
namespace {

constexpr std::size_t largePageSize = std::size_t{1} << 21;
constexpr std::size_t smallPageSize = 4096;

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

void populateForWriting(void* data, std::size_t size) noexcept {
    const auto start = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t pageStart = start & ~std::uintptr_t{smallPageSize - 1};
    // Linux 5.14 and later; earlier ones refuse the advice, and the pages fault as before.
    ::madvise(reinterpret_cast<void*>(pageStart), size + (start - pageStart), MADV_POPULATE_WRITE);
}

}  // namespace salvora
