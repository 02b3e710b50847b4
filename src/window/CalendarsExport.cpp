#include "window/CalendarsExport.h"

#include <QCoreApplication>

#include "sources/calendar/CalendarExport.h"

namespace salvora {

SourceExport calendarsExport() {
    return {QCoreApplication::translate("CalendarsExport", "Exporting Calendars"),
            [](const ApplicationMap& applications) { return hasCalendarDatabase(applications); },
            [](const SourceExportRequest& request, const SaveProgress& progress) {
                CalendarExportOptions options;
                options.portableNames = request.portableNames;
                return exportBackupCalendars(request.deviceDirectory, request.applications,
                                             request.keybag, request.destination, options,
                                             progress);
            }};
}

}  // namespace salvora
