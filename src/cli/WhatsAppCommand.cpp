#include "cli/WhatsAppCommand.h"

#include <algorithm>
#include <memory>

#include "cli/Cli.h"
#include "cli/ConversationListing.h"
#include "cli/ConversationOptions.h"
#include "cli/ExportReport.h"
#include "cli/FailureReport.h"
#include "cli/OpenedBackup.h"
#include "cli/ProgressLine.h"
#include "foundation/Log.h"
#include "sources/messages/ConversationExport.h"
#include "sources/whatsapp/BackupWhatsApp.h"

namespace salvora::cli {
namespace {

struct WhatsAppRequest {
    std::string backup;
    std::string destination;
    bool list = false;
    bool json = false;
    bool includeStatus = false;
    ConversationArguments conversations;
    bool portableNames = false;
};

// Opens each application's chats in turn; fails at the first that can't be, naming its service.
template <typename Each>
Status forEachStore(const OpenedBackup& opened, const std::vector<WhatsAppApplication>& present,
                    bool includeStatus, Each each) {
    for (const WhatsAppApplication& application : present) {
        auto store = openBackupWhatsAppChats(opened.device->directory, *opened.device->applications,
                                             opened.keybag(), application, includeStatus);
        if (!store)
            return commandError(std::string(application.service) + ": " +
                                store.error().description());
        each(application, **store);
    }
    return {};
}

int listChats(const CommandContext& context, const OpenedBackup& opened,
              const std::vector<WhatsAppApplication>& present, const WhatsAppRequest& request) {
    ConversationListing listing(context.out, request.json);
    const Status whole =
        forEachStore(opened, present, request.includeStatus,
                     [&](const WhatsAppApplication&, ConversationStore& store) {
                         for (const std::string& warning : store.warnings())
                             context.complain(warning);
                         for (const ConversationOutline& outline : store.outlines())
                             listing.add(outline);
                     });
    listing.finish();
    return whole ? Success : usageFailure(context, whole.error());
}

int exportChats(const CommandContext& context, const OpenedBackup& opened,
                const std::vector<WhatsAppApplication>& present, const WhatsAppRequest& request) {
    ConversationExportOptions options =
        conversationExportOptions(request.conversations, "whatsapp");
    options.portableNames = request.portableNames;
    const AttachmentSource files{opened.device->directory, *opened.device->applications,
                                 opened.keybag()};
    int status = Success;
    const Status whole =
        forEachStore(opened, present, request.includeStatus,
                     [&](const WhatsAppApplication& application, ConversationStore& store) {
                         const std::string destination =
                             whatsAppDestination(request.destination, present, application);
                         LogSilence silence;
                         ProgressLine progress(context.err, context.showProgress);
                         const ExportSummary summary = exportConversations(
                             store, files, destination, options, progress.saveProgress());
                         progress.clear();
                         if (present.size() > 1) context.out << application.service << ":\n";
                         status = std::max(status, reportExport(context, summary));
                     });
    return whole ? status : usageFailure(context, whole.error());
}

int runWhatsApp(const CommandContext& context, const WhatsAppRequest& request) {
    auto opened = openBackup(context, request.backup);
    if (!opened) return usageFailure(context, opened.error());
    const std::vector<WhatsAppApplication> present =
        opened->device->applications ? whatsAppApplicationsIn(*opened->device->applications)
                                     : std::vector<WhatsAppApplication>{};
    if (present.empty())
        return usageFailure(context,
                            commandError("no WhatsApp chats (ChatStorage.sqlite) in this backup"));
    if (request.list) return listChats(context, *opened, present, request);
    return exportChats(context, *opened, present, request);
}

}  // namespace

void addWhatsAppCommand(CLI::App& app, BackupOperand& operand, ChosenCommand& chosen) {
    auto request = std::make_shared<WhatsAppRequest>();
    CLI::App* command = app.add_subcommand(
        "whatsapp", "Export the chats of WhatsApp and WhatsApp Business, or list them");
    command->footer(
        "Forms:\n"
        "  salvora-cli whatsapp BACKUP DEST [options]  every chat, as pages, text and "
        "whatsapp.json\n"
        "  salvora-cli whatsapp BACKUP --list [--json] the chats: title, service, participants,\n"
        "                                               messages, first and last date\n"
        "With both WhatsApp and WhatsApp Business in the backup, each goes into DEST/WhatsApp\n"
        "and DEST/WhatsApp Business.");
    addBackup(command, operand);
    CLI::Option* destination =
        command->add_option("DEST", request->destination, "The folder to export into");
    CLI::Option* list = command->add_flag("--list", request->list, "List the chats instead");
    command
        ->add_flag("--json", request->json,
                   "With --list: print JSON instead of tab-separated lines")
        ->needs(list);
    destination->excludes(list);
    command->add_flag("--include-status", request->includeStatus,
                      "Also the status updates, as a chat of their own");
    addConversationOptions(command, request->conversations);
    addPortableNames(command, request->portableNames);
    command->callback([&chosen, &operand, request, destination] {
        request->backup = operand.backup;
        if (!request->list && destination->count() == 0)
            throw CLI::ValidationError("whatsapp needs BACKUP DEST, or BACKUP --list");
        chosen = [request](const CommandContext& context) {
            return runWhatsApp(context, *request);
        };
    });
}

}  // namespace salvora::cli
