#include "foundation/platform/PagePopulation.h"

#include <sys/mman.h>

#include <cstdint>

namespace salvora {
namespace {

constexpr std::size_t pageSize = 4096;

}  // namespace

void populateForWriting(void* data, std::size_t size) noexcept {
    const auto start = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t pageStart = start & ~std::uintptr_t{pageSize - 1};
    // Linux 5.14 and later; earlier ones refuse the advice, and the pages fault as before.
    ::madvise(reinterpret_cast<void*>(pageStart), size + (start - pageStart), MADV_POPULATE_WRITE);
}

}  // namespace salvora
