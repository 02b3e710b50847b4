#pragma once

// Dates of an export in this computer's time zone, always shown with the offset they are in, so
// a page read elsewhere or later still says when a thing happened.
#include <cstdint>
#include <string>

namespace salvora {

// Milliseconds since 1970-01-01 UTC.
using EpochMillis = std::int64_t;

// ISO 8601 for programs: "2024-03-01T14:05:09+01:00".
std::string isoLocalDate(EpochMillis millis);
// For people: "2024-03-01 14:05 +01:00".
std::string localDateText(EpochMillis millis);

}  // namespace salvora
