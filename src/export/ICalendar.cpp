#include "export/ICalendar.h"

#include <algorithm>
#include <cstdio>

namespace salvora {

std::string iCalendarDateTime(const CivilTime& time) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d%02d%02dT%02d%02d%02d", time.year, time.month, time.day,
                  time.hour, time.minute, time.second);
    return text;
}

std::string iCalendarDate(const CivilTime& time) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d%02d%02d", time.year, time.month, time.day);
    return text;
}

std::string iCalendarUtc(std::int64_t unixSeconds) {
    return iCalendarDateTime(utcCivilTime(unixSeconds)) + "Z";
}

std::string iCalendarDuration(std::int64_t seconds) {
    std::string text = seconds < 0 ? "-P" : "P";
    std::uint64_t left =
        seconds < 0 ? 0 - static_cast<std::uint64_t>(seconds) : static_cast<std::uint64_t>(seconds);
    if (const std::uint64_t days = left / 86400; days > 0) text += std::to_string(days) + "D";
    left %= 86400;
    if (left == 0 && text.size() > 2) return text;
    text += "T";
    if (const std::uint64_t hours = left / 3600; hours > 0) text += std::to_string(hours) + "H";
    if (const std::uint64_t minutes = left / 60 % 60; minutes > 0)
        text += std::to_string(minutes) + "M";
    if (left % 60 > 0 || left == 0) text += std::to_string(left % 60) + "S";
    return text;
}

ICalendar::ICalendar(std::string_view productId) {
    begin("VCALENDAR");
    add("VERSION", "", "2.0");
    addText("PRODID", "", productId);
}

void ICalendar::addLines(std::string_view lines) {
    std::string line;
    auto flush = [&] {
        if (!line.empty()) appendContentLine(text_, line);
        line.clear();
    };
    while (!lines.empty()) {
        const std::size_t cut = std::min(lines.find('\n'), lines.size());
        std::string_view physical = lines.substr(0, cut);
        if (physical.ends_with('\r')) physical.remove_suffix(1);
        lines.remove_prefix(std::min(cut + 1, lines.size()));
        // A line the writer folded goes on the one before it.
        if (!physical.empty() && (physical.front() == ' ' || physical.front() == '\t')) {
            line.append(physical.substr(1));
            continue;
        }
        flush();
        line.assign(physical);
    }
    flush();
}

std::string ICalendar::finish() && {
    end("VCALENDAR");
    return std::move(text_);
}

}  // namespace salvora
