#include "export/ZoneTime.h"

#include <unicode/timezone.h>
#include <unicode/vtzone.h>

#include <ctime>
#include <memory>

namespace salvora {
namespace {

std::unique_ptr<icu::TimeZone> knownZone(std::string_view zone) {
    if (zone.empty()) return nullptr;
    std::unique_ptr<icu::TimeZone> found(icu::TimeZone::createTimeZone(icu::UnicodeString::fromUTF8(
        icu::StringPiece(zone.data(), static_cast<int32_t>(zone.size())))));
    // ICU answers a name it doesn't know with the unknown zone, which is GMT.
    if (!found || *found == icu::TimeZone::getUnknown()) return nullptr;
    return found;
}

UDate millisOf(std::int64_t unixSeconds) { return static_cast<UDate>(unixSeconds) * 1000.0; }

}  // namespace

CivilTime utcCivilTime(std::int64_t unixSeconds) {
    const std::time_t time = static_cast<std::time_t>(unixSeconds);
    std::tm parts{};
    if (!::gmtime_r(&time, &parts)) return {};
    return {parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday,
            parts.tm_hour,        parts.tm_min,     parts.tm_sec};
}

std::optional<CivilTime> civilTimeIn(std::string_view zone, std::int64_t unixSeconds) {
    const auto found = knownZone(zone);
    if (!found) return std::nullopt;
    UErrorCode status = U_ZERO_ERROR;
    int32_t raw = 0;
    int32_t daylight = 0;
    found->getOffset(millisOf(unixSeconds), false, raw, daylight, status);
    if (U_FAILURE(status)) return std::nullopt;
    return utcCivilTime(unixSeconds + (raw + daylight) / 1000);
}

std::optional<std::string> vTimeZoneOf(std::string_view zone, std::int64_t fromUnixSeconds) {
    if (!knownZone(zone)) return std::nullopt;
    std::unique_ptr<icu::VTimeZone> rules(
        icu::VTimeZone::createVTimeZoneByID(icu::UnicodeString::fromUTF8(
            icu::StringPiece(zone.data(), static_cast<int32_t>(zone.size())))));
    if (!rules) return std::nullopt;
    UErrorCode status = U_ZERO_ERROR;
    icu::UnicodeString text;
    rules->write(millisOf(fromUnixSeconds), text, status);
    if (U_FAILURE(status) || text.isEmpty()) return std::nullopt;
    std::string utf8;
    text.toUTF8String(utf8);
    return utf8;
}

}  // namespace salvora
