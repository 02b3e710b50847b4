#include "foundation/platform/LargePages.h"

namespace salvora {

void adviseLargePages(void*, std::size_t) {}

}  // namespace salvora
