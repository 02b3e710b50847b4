#include "sources/calendar/CalendarDatabase.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <unordered_map>

#include "catalog/StoredFileLookup.h"
#include "recovery/StoredDatabase.h"
#include "sqlite/LenientRows.h"
#include "sqlite/ReferenceDate.h"
#include "sqlite/Statement.h"

namespace salvora {
namespace {

// Store's types, as EventKit numbers its sources.
constexpr std::int64_t subscribedStore = 4;
constexpr std::int64_t birthdaysStore = 5;
// CalendarItem's entity_type of a reminder, which older phones kept beside the events.
constexpr std::int64_t reminderEntity = 3;

std::optional<std::int64_t> unixSeconds(sqlite3_stmt* row, int column) {
    const auto seconds = referenceSeconds(row, column);
    if (!seconds) return std::nullopt;
    return unixSecondsFromReferenceSeconds(*seconds);
}

// A count or an interval kept as a number of either kind or as text; absent when it is none.
std::optional<std::int64_t> wholeNumber(sqlite3_stmt* row, int column) {
    const auto value = referenceSeconds(row, column);
    if (!value || std::fabs(*value) > 1e12) return std::nullopt;
    return static_cast<std::int64_t>(*value);
}

std::optional<int> smallNumber(std::string_view text) {
    int value = 0;
    bool negative = false;
    std::size_t at = 0;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
    if (at == text.size() || text.size() - at > 3) return std::nullopt;
    for (; at < text.size(); ++at) {
        if (!std::isdigit(static_cast<unsigned char>(text[at]))) return std::nullopt;
        value = value * 10 + (text[at] - '0');
    }
    return negative ? -value : value;
}

std::vector<std::string_view> split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    while (!text.empty()) {
        const std::size_t cut = std::min(text.find(separator), text.size());
        if (cut > 0) parts.push_back(text.substr(0, cut));
        text.remove_prefix(std::min(cut + 1, text.size()));
    }
    return parts;
}

// The phone's specifier: parts "KEY=VALUE,VALUE" joined with ";". D holds days of the week,
// each after its place in the month or year ("0MO" every Monday, "+2TU", "-1FR"); M days of
// the month; O months of the year; S the places in the set.
void readSpecifier(std::string_view specifier, Recurrence& recurrence) {
    static constexpr std::string_view weekdays[] = {"MO", "TU", "WE", "TH", "FR", "SA", "SU"};
    auto numbers = [](std::string_view values, int low, int high, std::vector<int>& into) {
        for (const std::string_view value : split(values, ','))
            if (const auto number = smallNumber(value);
                number && *number != 0 && *number >= low && *number <= high)
                into.push_back(*number);
    };
    for (const std::string_view part : split(specifier, ';')) {
        const std::size_t equals = part.find('=');
        if (equals != 1) continue;
        const std::string_view values = part.substr(2);
        switch (part[0]) {
            case 'D':
                for (const std::string_view value : split(values, ',')) {
                    if (value.size() < 2) continue;
                    const std::string_view day = value.substr(value.size() - 2);
                    if (std::find(std::begin(weekdays), std::end(weekdays), day) ==
                        std::end(weekdays))
                        continue;
                    const auto place = value.size() == 2
                                           ? std::optional<int>(0)
                                           : smallNumber(value.substr(0, value.size() - 2));
                    if (!place || *place < -53 || *place > 53) continue;
                    recurrence.byDay.push_back(
                        (*place == 0 ? std::string() : std::to_string(*place)) + std::string(day));
                }
                break;
            case 'M':
                numbers(values, -31, 31, recurrence.byMonthDay);
                break;
            case 'O':
                numbers(values, 1, 12, recurrence.byMonth);
                break;
            case 'S':
                numbers(values, -366, 366, recurrence.bySetPosition);
                break;
            default:
                break;
        }
    }
}

// EventKit's participant statuses and roles as RFC 5545 names them.
std::string statusName(std::int64_t status) {
    static constexpr std::string_view names[] = {"",          "NEEDS-ACTION", "ACCEPTED",
                                                 "DECLINED",  "TENTATIVE",    "DELEGATED",
                                                 "COMPLETED", "IN-PROCESS"};
    return status > 0 && status < 8 ? std::string(names[status]) : std::string();
}

std::string roleName(std::int64_t role) {
    static constexpr std::string_view names[] = {"", "REQ-PARTICIPANT", "OPT-PARTICIPANT", "CHAIR",
                                                 "NON-PARTICIPANT"};
    return role > 0 && role < 5 ? std::string(names[role]) : std::string();
}

std::string zoneName(std::string zone) {
    // "_float" is the phone's name for a time in no zone.
    return zone == "_float" ? std::string() : zone;
}

bool containsHoliday(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text.find("holiday") != std::string::npos;
}

class Reader {
  public:
    Reader(sqlite3* database, CalendarDatabase& result) : database_(database), result_(result) {}

    bool readEvents() {
        const ColumnNames columns = columnsOf(database_, "CalendarItem");
        if (columns.empty()) return false;
        static constexpr std::string_view names[] = {
            "calendar_id",  "unique_identifier", "UUID",         "summary",   "description",
            "url",          "start_date",        "end_date",     "all_day",   "start_tz",
            "end_tz",       "last_modified",     "orig_item_id", "orig_date", "location_id",
            "organizer_id", "entity_type"};
        std::string sql = "SELECT ROWID";
        for (const std::string_view name : names) sql += ", " + columnOrNull(columns, "", name);
        sql += " FROM CalendarItem ORDER BY ROWID";
        eachRow(database_, sql, "events", result_.warnings, [&](sqlite3_stmt* row) {
            if (integerColumn(row, 17) == reminderEntity) return;
            CalendarEvent event;
            event.id = integerColumn(row, 0).value_or(0);
            event.calendarId = integerColumn(row, 1).value_or(0);
            event.uid = anyText(row, 2);
            if (event.uid.empty()) event.uid = anyText(row, 3);
            event.summary = anyText(row, 4);
            event.description = anyText(row, 5);
            event.url = anyText(row, 6);
            const auto start = unixSeconds(row, 7);
            if (!start) {
                ++undated_;
                return;
            }
            event.start = *start;
            event.end = std::max(unixSeconds(row, 8).value_or(event.start), event.start);
            event.allDay = wholeNumber(row, 9).value_or(0) != 0;
            event.startZone = zoneName(anyText(row, 10));
            event.endZone =
                columns.contains("end_tz") ? zoneName(anyText(row, 11)) : event.startZone;
            event.modified = unixSeconds(row, 12);
            if (const auto original = integerColumn(row, 13); original && *original > 0) {
                event.originalEventId = original;
                event.originalStart = unixSeconds(row, 14);
            }
            if (const auto location = integerColumn(row, 15)) locationOf_[event.id] = *location;
            if (const auto organizer = integerColumn(row, 16)) organizerOf_[event.id] = *organizer;
            indexById_[event.id] = result_.events.size();
            result_.events.push_back(std::move(event));
        });
        if (undated_ > 0)
            result_.warnings.push_back("Left out " + std::to_string(undated_) +
                                       (undated_ == 1 ? " event" : " events") + " without a start");
        return true;
    }

    void readCalendars() {
        const ColumnNames columns = columnsOf(database_, "Calendar");
        if (columns.empty()) return;
        const bool stores =
            columns.contains("store_id") && hasTableWithColumns(database_, "Store", {"type"});
        std::string sql = "SELECT c.ROWID, " + columnOrNull(columns, "c.", "title") + ", " +
                          columnOrNull(columns, "c.", "color") + ", " +
                          (stores ? std::string("s.type") : std::string("NULL")) + ", " +
                          columnOrNull(columns, "c.", "subcal_url") + " FROM Calendar c";
        if (stores) sql += " LEFT JOIN Store s ON s.ROWID = c.store_id";
        sql += " ORDER BY c.ROWID";
        eachRow(database_, sql, "calendars", result_.warnings, [&](sqlite3_stmt* row) {
            Calendar calendar;
            calendar.id = integerColumn(row, 0).value_or(0);
            calendar.title = anyText(row, 1);
            calendar.color = anyText(row, 2);
            const auto store = wholeNumber(row, 3);
            const std::string address = anyText(row, 4);
            if (store == birthdaysStore)
                calendar.kind = CalendarKind::Birthdays;
            else if (store == subscribedStore || !address.empty())
                calendar.kind =
                    containsHoliday(address) ? CalendarKind::Holidays : CalendarKind::Subscribed;
            result_.calendars.push_back(std::move(calendar));
        });
    }

    void readLocations() {
        const ColumnNames columns = columnsOf(database_, "Location");
        if (columns.empty() || locationOf_.empty()) return;
        std::unordered_map<std::int64_t, EventLocation> locations;
        eachRow(database_,
                "SELECT ROWID, " + columnOrNull(columns, "", "title") + ", " +
                    columnOrNull(columns, "", "address") + ", " +
                    columnOrNull(columns, "", "latitude") + ", " +
                    columnOrNull(columns, "", "longitude") + " FROM Location",
                "places", result_.warnings, [&](sqlite3_stmt* row) {
                    EventLocation location{anyText(row, 1), anyText(row, 2), realColumn(row, 3),
                                           realColumn(row, 4)};
                    const bool onEarth = location.latitude && location.longitude &&
                                         std::fabs(*location.latitude) <= 90 &&
                                         std::fabs(*location.longitude) <= 180 &&
                                         (*location.latitude != 0 || *location.longitude != 0);
                    if (!onEarth) location.latitude = location.longitude = std::nullopt;
                    locations[integerColumn(row, 0).value_or(-1)] = std::move(location);
                });
        for (const auto& [eventId, locationId] : locationOf_) {
            const auto found = locations.find(locationId);
            if (found == locations.end()) continue;
            if (found->second.title.empty() && found->second.address.empty()) continue;
            result_.events[indexById_.at(eventId)].location = found->second;
        }
    }

    void readRecurrences() {
        const ColumnNames columns = columnsOf(database_, "Recurrence");
        if (!hasColumns(columns, {"owner_id", "frequency"})) return;
        std::string sql = "SELECT owner_id, frequency";
        for (const std::string_view name : {"interval", "count", "end_date", "specifier"})
            sql += ", " + columnOrNull(columns, "", name);
        sql += " FROM Recurrence ORDER BY ROWID";
        eachRow(database_, sql, "repeats", result_.warnings, [&](sqlite3_stmt* row) {
            CalendarEvent* event = eventOf(row, 0);
            const auto frequency = wholeNumber(row, 1);
            if (!event || event->recurrence || !frequency || *frequency < 1 || *frequency > 4)
                return;
            Recurrence recurrence;
            recurrence.frequency = static_cast<Recurrence::Frequency>(*frequency - 1);
            recurrence.interval = static_cast<int>(
                std::clamp<std::int64_t>(wholeNumber(row, 2).value_or(1), 1, 1000));
            if (const auto count = wholeNumber(row, 3); count && *count > 0)
                recurrence.count = static_cast<int>(std::min<std::int64_t>(*count, 100000));
            if (const auto until = unixSeconds(row, 4);
                until && !recurrence.count && referenceSeconds(row, 4) != 0.0)
                recurrence.until = until;
            readSpecifier(anyText(row, 5), recurrence);
            event->recurrence = std::move(recurrence);
        });
    }

    void readExceptions() {
        if (!hasTableWithColumns(database_, "ExceptionDate", {"owner_id", "date"})) return;
        eachRow(database_, "SELECT owner_id, date FROM ExceptionDate ORDER BY date",
                "deleted occurrences", result_.warnings, [&](sqlite3_stmt* row) {
                    CalendarEvent* event = eventOf(row, 0);
                    if (const auto date = unixSeconds(row, 1); event && date)
                        event->deletedOccurrences.push_back(*date);
                });
    }

    void readAlarms() {
        const ColumnNames columns = columnsOf(database_, "Alarm");
        if (!columns.contains("owner_id")) return;
        eachRow(database_,
                "SELECT owner_id, " + columnOrNull(columns, "", "trigger_interval") + ", " +
                    columnOrNull(columns, "", "trigger_date") + " FROM Alarm ORDER BY ROWID",
                "alarms", result_.warnings, [&](sqlite3_stmt* row) {
                    CalendarEvent* event = eventOf(row, 0);
                    if (!event) return;
                    Alarm alarm;
                    // A relative alarm keeps no date, or the reference date itself.
                    if (referenceSeconds(row, 2).value_or(0) != 0) alarm.at = unixSeconds(row, 2);
                    if (!alarm.at) alarm.offsetSeconds = wholeNumber(row, 1).value_or(0);
                    event->alarms.push_back(alarm);
                });
    }

    void readAttendees() {
        const ColumnNames columns = columnsOf(database_, "Participant");
        if (!columns.contains("owner_id")) return;
        const bool identities =
            columns.contains("identity_id") &&
            hasTableWithColumns(database_, "Identity", {"display_name", "address"});
        std::string sql = "SELECT p.owner_id, p.ROWID, " + columnOrNull(columns, "p.", "email") +
                          ", " + columnOrNull(columns, "p.", "status") + ", " +
                          columnOrNull(columns, "p.", "role") + ", " +
                          (identities ? "i.display_name, i.address" : "NULL, NULL") +
                          " FROM Participant p";
        if (identities) sql += " LEFT JOIN Identity i ON i.ROWID = p.identity_id";
        sql += " ORDER BY p.ROWID";
        eachRow(database_, sql, "attendees", result_.warnings, [&](sqlite3_stmt* row) {
            CalendarEvent* event = eventOf(row, 0);
            if (!event) return;
            Attendee attendee;
            attendee.email = anyText(row, 2);
            if (attendee.email.empty()) attendee.email = anyText(row, 6);
            if (attendee.email.starts_with("mailto:")) attendee.email.erase(0, 7);
            attendee.name = anyText(row, 5);
            if (attendee.email.empty() && attendee.name.empty()) return;
            attendee.status = statusName(wholeNumber(row, 3).value_or(0));
            attendee.role = roleName(wholeNumber(row, 4).value_or(0));
            const auto organizer = organizerOf_.find(event->id);
            attendee.organizer =
                organizer != organizerOf_.end() && organizer->second == integerColumn(row, 1);
            event->attendees.push_back(std::move(attendee));
        });
    }

  private:
    CalendarEvent* eventOf(sqlite3_stmt* row, int column) {
        const auto found = indexById_.find(integerColumn(row, column).value_or(-1));
        return found == indexById_.end() ? nullptr : &result_.events[found->second];
    }

    sqlite3* database_;
    CalendarDatabase& result_;
    std::unordered_map<std::int64_t, std::size_t> indexById_;
    std::unordered_map<std::int64_t, std::int64_t> locationOf_;   // event → Location
    std::unordered_map<std::int64_t, std::int64_t> organizerOf_;  // event → Participant
    std::size_t undated_ = 0;
};

}  // namespace

bool hasCalendarDatabase(const ApplicationMap& applications) {
    return findStoredFile(applications, calendarDomain, calendarDatabasePath).has_value();
}

Result<CalendarDatabase> readCalendarDatabase(sqlite3* database) {
    CalendarDatabase result;
    Reader reader(database, result);
    if (!reader.readEvents())
        return Error{"Could not read the calendars", "", "it has no table CalendarItem",
                     ErrorKind::Failed};
    reader.readCalendars();
    reader.readLocations();
    reader.readRecurrences();
    reader.readExceptions();
    reader.readAlarms();
    reader.readAttendees();
    return result;
}

Result<CalendarDatabase> readBackupCalendars(const std::string& deviceDirectory,
                                             const ApplicationMap& applications,
                                             const UnlockedKeybag* keybag) {
    auto stored = openStoredDatabaseAt(deviceDirectory, applications, calendarDomain,
                                       calendarDatabasePath, keybag);
    if (!stored) return stored.error();
    auto result = readCalendarDatabase(stored->database.handle());
    if (result && stored->warning)
        result->warnings.insert(result->warnings.begin(), *stored->warning);
    return result;
}

}  // namespace salvora
