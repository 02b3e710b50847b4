#include "sources/calendar/CalendarExport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <map>
#include <span>
#include <unordered_map>

#include "export/ExportFolder.h"
#include "export/ICalendar.h"
#include "export/UniqueNames.h"
#include "foundation/FileWriting.h"
#include "recovery/DestinationNames.h"
#include "sources/calendar/RecurrenceRule.h"

namespace salvora {
namespace {

constexpr std::string_view productId = "-//Salvora//Calendar Export//EN";
constexpr std::int64_t day = 86400;
// A zone's rules go back a year before its first time used: a time before the first change
// they name would have no offset.
constexpr std::int64_t year = 366 * day;

bool isUtc(std::string_view zone) {
    return zone == "UTC" || zone == "GMT" || zone == "Etc/UTC" || zone == "Etc/GMT";
}

std::string geoText(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", value);
    return text;
}

// One calendar's events written as VEVENTs, and the zones their times are in as VTIMEZONEs.
class CalendarText {
  public:
    CalendarText(const CalendarDatabase& database, const Calendar& calendar, std::int64_t stamp)
        : database_(database), calendar_(calendar), stamp_(stamp) {
        for (const CalendarEvent& event : database.events) eventsById_[event.id] = &event;
    }

    std::string write() && {
        // Each repeating event, then the occurrences of it that were moved.
        std::unordered_map<std::int64_t, std::vector<const CalendarEvent*>> moved;
        for (const CalendarEvent& event : database_.events)
            if (event.calendarId == calendar_.id && masterOf(event))
                moved[*event.originalEventId].push_back(&event);
        for (const CalendarEvent& event : database_.events) {
            if (event.calendarId != calendar_.id || masterOf(event)) continue;
            writeEvent(event, nullptr);
            for (const CalendarEvent* occurrence : moved[event.id]) writeEvent(*occurrence, &event);
            moved.erase(event.id);
        }
        // Moved occurrences of an event in another calendar.
        for (const CalendarEvent& event : database_.events)
            if (event.calendarId == calendar_.id && masterOf(event) &&
                moved.contains(*event.originalEventId))
                writeEvent(event, masterOf(event));

        ICalendar calendar(productId);
        calendar.addText("X-WR-CALNAME", "", calendar_.title);
        if (!calendar_.color.empty())
            calendar.addText("X-APPLE-CALENDAR-COLOR", "", calendar_.color);
        for (const auto& [zone, from] : zonesUsed_)
            if (const auto rules = vTimeZoneOf(zone, from - year)) calendar.addLines(*rules);
        calendar.append(std::move(events_));
        return std::move(calendar).finish();
    }

  private:
    const CalendarEvent* masterOf(const CalendarEvent& event) const {
        if (!event.originalEventId || !event.originalStart) return nullptr;
        const auto found = eventsById_.find(*event.originalEventId);
        return found == eventsById_.end() || found->second == &event ? nullptr : found->second;
    }

    // A time as an event of this kind writes it: the day of an all-day event, the wall-clock
    // time with its TZID, UTC where the zone is UTC or one ICU doesn't know, else floating.
    void time(std::string_view name, std::int64_t instant, const std::string& zone, bool allDay,
              std::string_view extra = {}) {
        std::string parameters;
        std::string value;
        if (allDay) {
            parameters = "VALUE=DATE";
            value = iCalendarDate(utcCivilTime(instant));
        } else if (zone.empty()) {
            value = iCalendarDateTime(utcCivilTime(instant));
        } else if (const auto local = isUtc(zone) ? std::nullopt : civilTimeIn(zone, instant)) {
            parameters = "TZID=" + parameterValue(zone);
            value = iCalendarDateTime(*local);
            auto [used, added] = zonesUsed_.emplace(parameterValue(zone), instant);
            if (!added) used->second = std::min(used->second, instant);
        } else {
            value = iCalendarUtc(instant);
        }
        if (!extra.empty())
            parameters = std::string(extra) + (parameters.empty() ? "" : ";") + parameters;
        events_.add(name, parameters, value);
    }

    // The end of the repeats in the form of the start, as RFC 5545 asks.
    static std::string untilOf(const CalendarEvent& event, std::int64_t until) {
        if (event.allDay) return iCalendarDate(utcCivilTime(until));
        if (event.startZone.empty()) return iCalendarDateTime(utcCivilTime(until));
        return iCalendarUtc(until);
    }

    void writeEvent(const CalendarEvent& event, const CalendarEvent* master) {
        events_.begin("VEVENT");
        const CalendarEvent& identity = master ? *master : event;
        events_.addText("UID", "",
                        identity.uid.empty()
                            ? "salvora-calendar-item-" + std::to_string(identity.id)
                            : identity.uid);
        events_.add("DTSTAMP", "", iCalendarUtc(event.modified.value_or(stamp_)));
        if (event.modified) events_.add("LAST-MODIFIED", "", iCalendarUtc(*event.modified));
        time("DTSTART", event.start, event.startZone, event.allDay);
        if (event.allDay)
            time("DTEND", std::max(event.end - 1, event.start) + day, "", true);
        else
            time("DTEND", event.end, event.endZone.empty() ? event.startZone : event.endZone,
                 false);
        if (master) time("RECURRENCE-ID", *event.originalStart, master->startZone, master->allDay);
        if (event.recurrence && !master) {
            const std::string until =
                event.recurrence->until ? untilOf(event, *event.recurrence->until) : std::string();
            events_.add("RRULE", "", rruleOf(*event.recurrence, until));
            for (const std::int64_t deleted : event.deletedOccurrences)
                time("EXDATE", deleted, event.startZone, event.allDay);
        }
        if (!event.summary.empty()) events_.addText("SUMMARY", "", event.summary);
        if (event.location) {
            const EventLocation& place = *event.location;
            std::string text = place.title;
            if (!place.address.empty() && place.address != place.title)
                text += (text.empty() ? "" : "\n") + place.address;
            events_.addText("LOCATION", "", text);
            if (place.latitude && place.longitude)
                events_.add("GEO", "", geoText(*place.latitude) + ";" + geoText(*place.longitude));
        }
        if (!event.description.empty()) events_.addText("DESCRIPTION", "", event.description);
        if (!event.url.empty()) events_.add("URL", "VALUE=URI", event.url);
        for (const Attendee& attendee : event.attendees) writeAttendee(attendee);
        for (const Alarm& alarm : event.alarms) writeAlarm(event, alarm);
        events_.end("VEVENT");
    }

    void writeAttendee(const Attendee& attendee) {
        if (attendee.email.empty()) return;
        std::string parameters;
        auto parameter = [&](std::string_view name, const std::string& value) {
            if (value.empty()) return;
            if (!parameters.empty()) parameters += ';';
            parameters.append(name).append("=").append(value);
        };
        if (!attendee.name.empty()) parameter("CN", quotedParameterValue(attendee.name));
        if (!attendee.organizer) {
            parameter("ROLE", attendee.role);
            parameter("PARTSTAT", attendee.status);
        }
        // A URI holds no line break or space; the address is kept as the phone stored it.
        std::string address;
        for (const char c : attendee.email)
            if (static_cast<unsigned char>(c) > 0x20 && c != 0x7f) address += c;
        events_.add(attendee.organizer ? "ORGANIZER" : "ATTENDEE", parameters, "mailto:" + address);
    }

    void writeAlarm(const CalendarEvent& event, const Alarm& alarm) {
        events_.begin("VALARM");
        events_.add("ACTION", "", "DISPLAY");
        events_.addText("DESCRIPTION", "", event.summary.empty() ? "Reminder" : event.summary);
        if (alarm.at)
            events_.add("TRIGGER", "VALUE=DATE-TIME", iCalendarUtc(*alarm.at));
        else
            events_.add("TRIGGER", "", iCalendarDuration(alarm.offsetSeconds.value_or(0)));
        events_.end("VALARM");
    }

    const CalendarDatabase& database_;
    const Calendar& calendar_;
    std::int64_t stamp_;
    std::unordered_map<std::int64_t, const CalendarEvent*> eventsById_;
    std::map<std::string, std::int64_t> zonesUsed_;  // each zone, from its first time used
    ICalendar events_;
};

std::string kindOf(const Calendar& calendar) {
    return calendar.kind == CalendarKind::Birthdays  ? "Birthdays"
           : calendar.kind == CalendarKind::Holidays ? "Holidays"
                                                     : "Calendar";
}

}  // namespace

bool exportsCalendar(const Calendar& calendar, bool all) {
    return all ||
           (calendar.kind != CalendarKind::Birthdays && calendar.kind != CalendarKind::Holidays);
}

std::string iCalendarOf(const CalendarDatabase& database, const Calendar& calendar,
                        std::int64_t stamp) {
    return CalendarText(database, calendar, stamp).write();
}

ExportSummary exportCalendars(const CalendarDatabase& database, const std::string& destination,
                              const CalendarExportOptions& options, const SaveProgress& progress) {
    ExportSummary summary;
    summary.warnings = database.warnings;
    // Events of a calendar the database no longer lists still go out, in one of their own.
    std::vector<Calendar> calendars = database.calendars;
    for (const CalendarEvent& event : database.events)
        if (std::none_of(calendars.begin(), calendars.end(),
                         [&](const Calendar& calendar) { return calendar.id == event.calendarId; }))
            calendars.push_back({event.calendarId, "Calendar " + std::to_string(event.calendarId),
                                 "", CalendarKind::Ordinary});
    std::size_t leftOut = 0;
    std::erase_if(calendars, [&](const Calendar& calendar) {
        const bool skipped = !exportsCalendar(calendar, options.all);
        leftOut += skipped;
        return skipped;
    });

    auto folder = ExportFolder::begin(destination, "calendars");
    if (!folder) {
        summary.error = folder.error();
        return summary;
    }
    const std::int64_t stamp = static_cast<std::int64_t>(std::time(nullptr));
    DestinationNames destinationNames(options.portableNames);
    UniqueNames names;
    std::size_t events = 0;
    for (std::size_t index = 0; index < calendars.size(); ++index) {
        const Calendar& calendar = calendars[index];
        const std::string name = names.nameFor(calendar.title, kindOf(calendar)) + ".ics";
        if (progress && !progress(SaveStatus{index, calendars.size(), 0, 0, name})) {
            summary.cancelled = true;
            return summary;
        }
        const std::string text = iCalendarOf(database, calendar, stamp);
        events += static_cast<std::size_t>(std::count_if(
            database.events.begin(), database.events.end(),
            [&](const CalendarEvent& event) { return event.calendarId == calendar.id; }));
        const OpenFolder& into = folder->folder();
        const auto written =
            writeAtomically(std::as_bytes(std::span(text.data(), text.size())), into, name,
                            destinationNames.making(into, name, std::nullopt));
        if (!written)
            summary.failures.push_back({into.pathOf(name), written.error()});
        else if (*written != name)
            summary.renamed.push_back(
                {into.pathOf(name), std::nullopt, std::nullopt, into.pathOf(*written)});
    }
    if (progress && !progress(SaveStatus{calendars.size(), calendars.size(), 0, 0, ""})) {
        summary.cancelled = true;
        return summary;
    }
    if (Status committed = folder->commit(); !committed) {
        summary.error = committed.error();
        return summary;
    }
    summary.counts.push_back({calendars.size(), "calendar", "calendars"});
    summary.counts.push_back({events, "event", "events"});
    if (leftOut > 0)
        summary.counts.push_back({leftOut, "birthday or holiday calendar left out",
                                  "birthday or holiday calendars left out"});
    return summary;
}

ExportSummary exportBackupCalendars(const std::string& deviceDirectory,
                                    const ApplicationMap& applications,
                                    const UnlockedKeybag* keybag, const std::string& destination,
                                    const CalendarExportOptions& options,
                                    const SaveProgress& progress) {
    auto database = readBackupCalendars(deviceDirectory, applications, keybag);
    if (!database) {
        ExportSummary summary;
        summary.error = database.error();
        return summary;
    }
    return exportCalendars(*database, destination, options, progress);
}

}  // namespace salvora
