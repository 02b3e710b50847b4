#pragma once

// Wall-clock times in the time zones phones name ("Europe/Berlin"), and the rules of such a zone
// as an iCalendar VTIMEZONE, both from ICU's zone data.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace salvora {

struct CivilTime {
    int year = 1970, month = 1, day = 1;  // month and day from 1
    int hour = 0, minute = 0, second = 0;
};

// The time in UTC of an instant, seconds since 1970.
CivilTime utcCivilTime(std::int64_t unixSeconds);

// The wall-clock time in the named zone; absent when ICU knows no zone of that name.
std::optional<CivilTime> civilTimeIn(std::string_view zone, std::int64_t unixSeconds);

// The zone's VTIMEZONE component (RFC 5545), CRLF lines, its rules from `fromUnixSeconds` on;
// absent when ICU knows no zone of that name.
std::optional<std::string> vTimeZoneOf(std::string_view zone, std::int64_t fromUnixSeconds);

}  // namespace salvora
