#pragma once

// The calendars written out as iCalendar (RFC 5545) files, one "NAME.ics" in DEST per calendar,
// names safe on every system and unique. The phone's own birthday and holiday calendars are left
// out unless asked for. The export replaces an earlier one only once complete (ExportFolder.h).
#include <cstdint>
#include <string>

#include "catalog/model/Records.h"
#include "crypto/UnlockedKeybag.h"
#include "export/ExportSummary.h"
#include "recovery/Recovery.h"
#include "sources/calendar/CalendarDatabase.h"

namespace salvora {

struct CalendarExportOptions {
    bool all = false;  // the birthday and holiday calendars too
    bool portableNames = false;
};

// Whether the export writes the calendar out, given whether all were asked for.
bool exportsCalendar(const Calendar& calendar, bool all);

// The calendar's events as one VCALENDAR; `stamp` (seconds since 1970) is the DTSTAMP of an
// event the phone kept no time of change for.
std::string iCalendarOf(const CalendarDatabase& database, const Calendar& calendar,
                        std::int64_t stamp);

// `progress` is told as by a save, each file a step; answering false cancels the export,
// leaving any earlier one in place.
ExportSummary exportCalendars(const CalendarDatabase& database, const std::string& destination,
                              const CalendarExportOptions& options,
                              const SaveProgress& progress = {});

// The backup's calendars, exported; the summary's error says why when the backup holds none.
ExportSummary exportBackupCalendars(const std::string& deviceDirectory,
                                    const ApplicationMap& applications,
                                    const UnlockedKeybag* keybag, const std::string& destination,
                                    const CalendarExportOptions& options,
                                    const SaveProgress& progress = {});

}  // namespace salvora
