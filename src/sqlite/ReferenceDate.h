#pragma once

// Apple's reference date, 2001-01-01 00:00 UTC, from which its databases count time: in
// seconds (Core Data, a real or an integer) or in nanoseconds (sms.db since iOS 11).
#include <cstdint>
#include <optional>

namespace salvora {

// Seconds since 1970 of 2001-01-01 00:00 UTC.
inline constexpr std::int64_t ReferenceDateUnixSeconds = 978307200;

// Seconds since the reference date as whole seconds since 1970 (rounded down); absent when they
// are no date at all (not finite, or thousands of years away).
std::optional<std::int64_t> unixSecondsFromReferenceSeconds(double seconds);

// Nanoseconds since the reference date as whole seconds since 1970 (rounded down).
std::int64_t unixSecondsFromReferenceNanoseconds(std::int64_t nanoseconds);

}  // namespace salvora
