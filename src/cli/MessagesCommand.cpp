#include "cli/MessagesCommand.h"

#include <memory>

#include "cli/Cli.h"
#include "cli/ConversationListing.h"
#include "cli/ConversationOptions.h"
#include "cli/ExportReport.h"
#include "cli/FailureReport.h"
#include "cli/OpenedBackup.h"
#include "cli/ProgressLine.h"
#include "foundation/Log.h"
#include "sources/contacts/AddressBookNames.h"
#include "sources/messages/SmsDatabase.h"

namespace salvora::cli {
namespace {

struct MessagesRequest {
    std::string backup;
    std::string destination;
    bool list = false;
    bool json = false;
    bool portableNames = false;
    ConversationArguments conversations;
};

int listConversations(const CommandContext& context, ConversationStore& store, bool asJson) {
    ConversationListing listing(context.out, asJson);
    for (const ConversationOutline& outline : store.outlines()) listing.add(outline);
    listing.finish();
    for (const std::string& warning : store.warnings()) context.complain(warning);
    return Success;
}

int runMessages(const CommandContext& context, const MessagesRequest& request) {
    auto opened = openBackup(context, request.backup);
    if (!opened) return usageFailure(context, opened.error());
    static const ApplicationMap none;
    const ApplicationMap& applications =
        opened->device->applications ? *opened->device->applications : none;
    const std::string& directory = opened->device->directory;

    ProgressLine progress(context.err, context.showProgress);
    progress.show("Reading Messages…");
    auto store = openBackupSmsConversations(directory, applications, opened->keybag(),
                                            request.conversations.me);
    progress.clear();
    if (!store)
        return usageFailure(
            context, store.error().kind == ErrorKind::NotInBackup
                         ? commandError("no Messages database (HomeDomain Library/SMS/sms.db) in "
                                        "this backup")
                         : store.error());
    if (request.list) return listConversations(context, **store, request.json);

    ConversationExportOptions options =
        conversationExportOptions(request.conversations, "messages");
    options.portableNames = request.portableNames;
    LogSilence silence;
    const ExportSummary summary =
        exportConversations(**store, AttachmentSource{directory, applications, opened->keybag()},
                            request.destination, options, progress.saveProgress());
    progress.clear();
    return reportExport(context, summary);
}

}  // namespace

void addMessagesCommand(CLI::App& app, BackupOperand& operand, ChosenCommand& chosen) {
    auto request = std::make_shared<MessagesRequest>();
    CLI::App* command = app.add_subcommand(
        "messages", "Export the conversations of Messages (sms.db) into DEST, or list them");
    command->footer(
        "Forms:\n"
        "  salvora-cli messages BACKUP DEST [options]  every conversation, into DEST\n"
        "  salvora-cli messages BACKUP --list [--json] title, service, participants, count,\n"
        "                                               first and last date");
    addBackup(command, operand);
    CLI::Option* destination =
        command->add_option("DEST", request->destination, "The folder to export into");
    CLI::Option* list = command->add_flag("--list", request->list, "List the conversations");
    command->add_flag("--json", request->json, "With --list: print JSON")->needs(list);
    list->excludes(destination);
    addConversationOptions(command, request->conversations);
    addPortableNames(command, request->portableNames);
    command->callback([&chosen, &operand, request, destination] {
        request->backup = operand.backup;
        if (!request->list && destination->count() == 0)
            throw CLI::ValidationError("messages needs BACKUP DEST, or BACKUP --list");
        chosen = [request](const CommandContext& context) {
            return runMessages(context, *request);
        };
    });
}

}  // namespace salvora::cli
