#include "cli/CalendarCommand.h"

#include <memory>

#include "cli/DatabaseExport.h"
#include "sources/calendar/CalendarExport.h"

namespace salvora::cli {
namespace {

constexpr std::string_view noCalendars =
    "no calendars (HomeDomain Library/Calendar/Calendar.sqlitedb) in this backup";

struct CalendarRequest {
    std::string backup;
    std::string destination;
    CalendarExportOptions options;
};

int exportCalendarsOf(const CommandContext& context, const CalendarRequest& request) {
    return runDatabaseExport(
        context, request.backup, noCalendars,
        [&](const std::string& deviceDirectory, const ApplicationMap& applications,
            const UnlockedKeybag* keybag, const SaveProgress& progress) {
            return exportBackupCalendars(deviceDirectory, applications, keybag, request.destination,
                                         request.options, progress);
        });
}

}  // namespace

void addCalendarCommand(CLI::App& app, BackupOperand& operand, ChosenCommand& chosen) {
    auto request = std::make_shared<CalendarRequest>();
    CLI::App* command = app.add_subcommand(
        "calendar", "Export the calendars into DEST, one iCalendar file DEST/NAME.ics each");
    addBackup(command, operand);
    command->add_option("DEST", request->destination, "The folder to export into")->required();
    command->add_flag("--all", request->options.all,
                      "Also the phone's own birthday and holiday calendars");
    addPortableNames(command, request->options.portableNames);
    command->callback([request, &operand, &chosen] {
        request->backup = operand.backup;
        chosen = [request](const CommandContext& context) {
            return exportCalendarsOf(context, *request);
        };
    });
}

}  // namespace salvora::cli
