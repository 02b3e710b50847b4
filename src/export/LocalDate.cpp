#include "export/LocalDate.h"

#include <cstdio>
#include <ctime>

namespace salvora {
namespace {

struct LocalTime {
    std::tm fields{};
    long offsetSeconds = 0;
};

LocalTime localTime(EpochMillis millis) {
    // Floor division: a date before 1970 still falls in the right second.
    std::time_t seconds = static_cast<std::time_t>(millis / 1000 - (millis % 1000 < 0 ? 1 : 0));
    LocalTime local;
    if (localtime_r(&seconds, &local.fields) == nullptr) {
        gmtime_r(&seconds, &local.fields);
        return local;
    }
    local.offsetSeconds = local.fields.tm_gmtoff;
    return local;
}

std::string offsetText(long offsetSeconds) {
    const char sign = offsetSeconds < 0 ? '-' : '+';
    const long minutes = (offsetSeconds < 0 ? -offsetSeconds : offsetSeconds) / 60;
    char text[32];
    std::snprintf(text, sizeof text, "%c%02ld:%02ld", sign, (minutes / 60) % 100, minutes % 60);
    return text;
}

}  // namespace

std::string isoLocalDate(EpochMillis millis) {
    const LocalTime local = localTime(millis);
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", local.fields.tm_year + 1900,
                  local.fields.tm_mon + 1, local.fields.tm_mday, local.fields.tm_hour,
                  local.fields.tm_min, local.fields.tm_sec);
    return text + offsetText(local.offsetSeconds);
}

std::string localDateText(EpochMillis millis) {
    const LocalTime local = localTime(millis);
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d ", local.fields.tm_year + 1900,
                  local.fields.tm_mon + 1, local.fields.tm_mday, local.fields.tm_hour,
                  local.fields.tm_min);
    return text + offsetText(local.offsetSeconds);
}

}  // namespace salvora
