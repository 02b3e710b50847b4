#pragma once

// iCalendar (RFC 5545) text: one VCALENDAR of components, in the content lines of
// ContentLines.h, and the forms of its dates and times.
#include <cstdint>
#include <string>
#include <string_view>

#include "export/ContentLines.h"
#include "export/ZoneTime.h"

namespace salvora {

// "20240301T140000": a DATE-TIME without its zone, which the TZID parameter or nothing (a
// floating time) gives.
std::string iCalendarDateTime(const CivilTime& time);
// "20240301": a DATE.
std::string iCalendarDate(const CivilTime& time);
// "20240301T130000Z": an instant in UTC.
std::string iCalendarUtc(std::int64_t unixSeconds);
// "-PT15M", "P1DT2H", "PT0S": a DURATION.
std::string iCalendarDuration(std::int64_t seconds);

class ICalendar {
  public:
    // Components alone, for append() to a calendar.
    ICalendar() = default;
    // Starts the VCALENDAR with its VERSION and PRODID.
    explicit ICalendar(std::string_view productId);

    void begin(std::string_view component) { add("BEGIN", "", component); }
    void end(std::string_view component) { add("END", "", component); }
    // "NAME;PARAMETERS:VALUE" with `value` as it is (escaped already).
    void add(std::string_view name, std::string_view parameters, std::string_view value) {
        appendContentLine(text_, name, parameters, value);
    }
    void addText(std::string_view name, std::string_view parameters, std::string_view text) {
        add(name, parameters, contentText(text));
    }
    // A component written elsewhere (a VTIMEZONE), its lines folded anew, whichever line
    // breaks it came with.
    void addLines(std::string_view lines);

    // The components written into `other`, after what is here.
    void append(ICalendar&& other) { text_ += other.text_; }

    // The calendar, ended.
    std::string finish() &&;

  private:
    std::string text_;
};

}  // namespace salvora
