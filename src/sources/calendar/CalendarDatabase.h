#pragma once

// The phone's calendars, "Calendar.sqlitedb", as plain structs: every calendar and its events
// with their repeats, deleted and moved occurrences, alarms, places and attendees, read by the
// columns each generation of its tables has.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/model/Records.h"
#include "crypto/UnlockedKeybag.h"
#include "foundation/Error.h"

struct sqlite3;

namespace salvora {

inline constexpr std::string_view calendarDomain = "HomeDomain";
inline constexpr std::string_view calendarDatabasePath = "Library/Calendar/Calendar.sqlitedb";

// What kind of calendar it is, from its store: the phone makes birthdays and holidays itself,
// and fetches a subscribed one from its address.
enum class CalendarKind { Ordinary, Subscribed, Birthdays, Holidays };

struct Calendar {
    std::int64_t id = 0;  // Calendar's ROWID
    std::string title;
    std::string color;  // "#1BADF8", as the phone keeps it; may be empty
    CalendarKind kind = CalendarKind::Ordinary;
};

// Where an event takes place.
struct EventLocation {
    std::string title;
    std::string address;
    std::optional<double> latitude, longitude;
};

// How an event repeats: the frequency of RFC 5545 and the parts of the phone's specifier.
struct Recurrence {
    enum class Frequency { Daily, Weekly, Monthly, Yearly };
    Frequency frequency = Frequency::Weekly;
    int interval = 1;
    std::optional<int> count;           // occurrences in all
    std::optional<std::int64_t> until;  // seconds since 1970
    std::vector<std::string> byDay;     // "MO", "2TU", "-1FR"
    std::vector<int> byMonthDay;        // 1 to 31, or counted from the end (-1)
    std::vector<int> byMonth;           // 1 to 12
    std::vector<int> bySetPosition;     // 1, -1
};

struct Alarm {
    std::optional<std::int64_t> offsetSeconds;  // before (negative) or after the start
    std::optional<std::int64_t> at;             // an absolute time, seconds since 1970
};

struct Attendee {
    std::string email;
    std::string name;
    // RFC 5545's PARTSTAT and ROLE; empty where the phone stored none it names.
    std::string status;
    std::string role;
    bool organizer = false;
};

struct CalendarEvent {
    std::int64_t id = 0;  // CalendarItem's ROWID
    std::int64_t calendarId = 0;
    std::string uid;
    std::string summary, description, url;
    std::optional<EventLocation> location;
    std::int64_t start = 0;  // seconds since 1970
    std::int64_t end = 0;
    bool allDay = false;
    // The IANA zones of start and end ("Europe/Berlin"); empty for a floating time, which the
    // phone keeps as if it were UTC.
    std::string startZone, endZone;
    std::optional<std::int64_t> modified;  // seconds since 1970
    std::optional<Recurrence> recurrence;
    std::vector<std::int64_t> deletedOccurrences;  // their starts, seconds since 1970
    // A moved occurrence of a repeating event: the event it belongs to and the start it had.
    std::optional<std::int64_t> originalEventId;
    std::optional<std::int64_t> originalStart;
    std::vector<Alarm> alarms;
    std::vector<Attendee> attendees;
};

struct CalendarDatabase {
    std::vector<Calendar> calendars;    // in ROWID order
    std::vector<CalendarEvent> events;  // in ROWID order
    // What could not be read and was left out, a sentence each.
    std::vector<std::string> warnings;
};

// Whether the backup holds the calendars.
bool hasCalendarDatabase(const ApplicationMap& applications);

// Every calendar and event of an open database. Fails when it has no CalendarItem table.
Result<CalendarDatabase> readCalendarDatabase(sqlite3* database);

// The backup's calendars, its -wal applied. Fails as NotInBackup when the backup holds none.
Result<CalendarDatabase> readBackupCalendars(const std::string& deviceDirectory,
                                             const ApplicationMap& applications,
                                             const UnlockedKeybag* keybag);

}  // namespace salvora
