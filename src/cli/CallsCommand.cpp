#include "cli/CallsCommand.h"

#include <memory>
#include <nlohmann/json.hpp>

#include "cli/Cli.h"
#include "cli/DatabaseExport.h"
#include "cli/ExportReport.h"
#include "cli/FailureReport.h"
#include "cli/OpenedBackup.h"
#include "export/LocalDate.h"
#include "foundation/Log.h"
#include "sources/calls/CallExport.h"

namespace salvora::cli {
namespace {

using nlohmann::json;

constexpr std::string_view noCallHistory =
    "no call history (HomeDomain Library/CallHistoryDB/CallHistory.storedata or "
    "Library/CallHistory/call_history.db) in this backup";

struct CallsRequest {
    std::string backup;
    std::string destination;
    bool json = false;
};

json textOrNull(const std::string& text) { return text.empty() ? json(nullptr) : json(text); }

int printCalls(const CommandContext& context, const BackupCalls& calls) {
    const std::vector<std::string> names = callerNames(calls.history, calls.names);
    json all = json::array();
    for (std::size_t index = 0; index < names.size(); ++index) {
        const Call& call = calls.history.calls[index];
        all.push_back({{"date", call.date ? json(isoLocalDate(*call.date * 1000)) : json(nullptr)},
                       {"name", textOrNull(names[index])},
                       {"number", textOrNull(call.address)},
                       {"direction", std::string(directionText(call))},
                       {"answered", call.answered},
                       {"duration", call.duration},
                       {"service", call.service},
                       {"country", textOrNull(call.country)}});
    }
    context.out << json{{"calls", all}}.dump(2, ' ', false, json::error_handler_t::replace)
                << '\n';
    for (const std::string& warning : calls.history.warnings) context.complain(warning);
    return Success;
}

// The calls printed as JSON: read whole, nothing written.
int printBackupCalls(const CommandContext& context, const std::string& backup) {
    auto opened = openBackup(context, backup);
    if (!opened) return usageFailure(context, opened.error());
    if (!opened->device->applications)
        return usageFailure(context, commandError(std::string(noCallHistory)));
    LogSilence silence;
    auto calls =
        readBackupCalls(opened->device->directory, *opened->device->applications, opened->keybag());
    if (calls) return printCalls(context, *calls);
    if (calls.error().kind == ErrorKind::NotInBackup)
        return usageFailure(context, commandError(std::string(noCallHistory)));
    ExportSummary summary;
    summary.error = calls.error();
    return reportExport(context, summary);
}

int runCalls(const CommandContext& context, const CallsRequest& request) {
    if (request.json) return printBackupCalls(context, request.backup);
    return runDatabaseExport(
        context, request.backup, noCallHistory,
        [&](const std::string& deviceDirectory, const ApplicationMap& applications,
            const UnlockedKeybag* keybag, const SaveProgress& progress) {
            return exportBackupCalls(deviceDirectory, applications, keybag, request.destination,
                                     progress);
        });
}

}  // namespace

void addCallsCommand(CLI::App& app, BackupOperand& operand, ChosenCommand& chosen) {
    auto request = std::make_shared<CallsRequest>();
    CLI::App* command = app.add_subcommand(
        "calls", "Export the call history into DEST/calls.csv and DEST/calls.html, or print it");
    command->footer(
        "Forms:\n"
        "  salvora-cli calls BACKUP DEST    every call, into DEST\n"
        "  salvora-cli calls BACKUP --json  every call as JSON on standard output");
    addBackup(command, operand);
    CLI::Option* destination =
        command->add_option("DEST", request->destination, "The folder to export into");
    command->add_flag("--json", request->json, "Print the calls as JSON instead")
        ->excludes(destination);
    command->callback([request, &operand, &chosen, destination] {
        request->backup = operand.backup;
        if (!request->json && destination->count() == 0)
            throw CLI::ValidationError("calls needs BACKUP DEST, or BACKUP --json");
        chosen = [request](const CommandContext& context) { return runCalls(context, *request); };
    });
}

}  // namespace salvora::cli
