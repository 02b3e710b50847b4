#include "foundation/platform/LargePages.h"

namespace salvora {

std::byte* allocateLarge(std::size_t size) { return static_cast<std::byte*>(::operator new(size)); }

void releaseLarge(std::byte* data, std::size_t) noexcept { ::operator delete(data); }

void populateForWriting(void*, std::size_t) noexcept {}

}  // namespace salvora
