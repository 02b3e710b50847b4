#include "export/LocalDate.h"

#include <ctime>
#include <string>

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

// Two digits each, "07".
void appendTwoDigits(std::string& out, long value) {
    out += static_cast<char>('0' + value / 10 % 10);
    out += static_cast<char>('0' + value % 10);
}

void appendOffset(std::string& out, long offsetSeconds) {
    out += offsetSeconds < 0 ? '-' : '+';
    const long minutes = (offsetSeconds < 0 ? -offsetSeconds : offsetSeconds) / 60;
    appendTwoDigits(out, minutes / 60 % 100);
    out += ':';
    appendTwoDigits(out, minutes % 60);
}

// "2024-03-01", then `between` and "14:05"; written by hand, as an export dates every message
// several times and printf's parsing of its format would take most of that time.
std::string dayAndMinute(const std::tm& fields, char between) {
    std::string text;
    text.reserve(32);
    const int year = fields.tm_year + 1900;
    if (year >= 0 && year <= 9999) {
        appendTwoDigits(text, year / 100);
        appendTwoDigits(text, year % 100);
    } else {
        text += std::to_string(year);
    }
    text += '-';
    appendTwoDigits(text, fields.tm_mon + 1);
    text += '-';
    appendTwoDigits(text, fields.tm_mday);
    text += between;
    appendTwoDigits(text, fields.tm_hour);
    text += ':';
    appendTwoDigits(text, fields.tm_min);
    return text;
}

}  // namespace

std::string isoLocalDate(EpochMillis millis) {
    const LocalTime local = localTime(millis);
    std::string text = dayAndMinute(local.fields, 'T');
    text += ':';
    appendTwoDigits(text, local.fields.tm_sec);
    appendOffset(text, local.offsetSeconds);
    return text;
}

std::string localDateText(EpochMillis millis) {
    const LocalTime local = localTime(millis);
    std::string text = dayAndMinute(local.fields, ' ');
    text += ' ';
    appendOffset(text, local.offsetSeconds);
    return text;
}

}  // namespace salvora
