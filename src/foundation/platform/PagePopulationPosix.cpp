#include "foundation/platform/PagePopulation.h"

namespace salvora {

void populateForWriting(void*, std::size_t) noexcept {}

}  // namespace salvora
