#include "sqlite/ReferenceDate.h"

#include <cmath>

namespace salvora {

std::optional<std::int64_t> unixSecondsFromReferenceSeconds(double seconds) {
    if (!std::isfinite(seconds) || std::fabs(seconds) > 1e11) return std::nullopt;
    return static_cast<std::int64_t>(std::floor(seconds)) + ReferenceDateUnixSeconds;
}

std::int64_t unixSecondsFromReferenceNanoseconds(std::int64_t nanoseconds) {
    constexpr std::int64_t perSecond = 1'000'000'000;
    std::int64_t seconds = nanoseconds / perSecond;
    if (nanoseconds % perSecond < 0) --seconds;
    return seconds + ReferenceDateUnixSeconds;
}

}  // namespace salvora
