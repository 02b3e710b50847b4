#include "cli/WhatsAppCommand.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <memory>

#include "cli/Cli.h"
#include "cli/ConversationOptions.h"
#include "cli/ExportReport.h"
#include "cli/FailureReport.h"
#include "cli/OpenedBackup.h"
#include "cli/ProgressLine.h"
#include "foundation/DateText.h"
#include "foundation/Log.h"
#include "foundation/Path.h"
#include "sources/messages/ConversationExport.h"
#include "sources/whatsapp/BackupWhatsApp.h"

namespace salvora::cli {
namespace {

using nlohmann::json;

struct WhatsAppRequest {
    std::string backup;
    std::string destination;
    bool list = false;
    bool json = false;
    bool includeStatus = false;
    ConversationArguments conversations;
    bool portableNames = false;
};

// A field of a tab-separated line: a tab or line break a chat's name holds would split it.
std::string field(std::string text) {
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\t' || c == '\n' || c == '\r'; }, ' ');
    return text;
}

std::string participantsText(const ConversationOutline& outline) {
    std::string text;
    for (const Participant& participant : outline.participants)
        text += (text.empty() ? "" : ", ") + shownName(participant);
    return field(std::move(text));
}

json isoDate(std::optional<UnixMillis> millis) {
    if (!millis) return nullptr;
    const std::time_t seconds = static_cast<std::time_t>(*millis / 1000);
    std::tm utc{};
    if (!::gmtime_r(&seconds, &utc)) return nullptr;
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return std::string(text);
}

std::string shownDate(std::optional<UnixMillis> millis) {
    if (!millis) return "";
    return dateText(std::chrono::system_clock::time_point(std::chrono::milliseconds(*millis)));
}

json outlineJson(const ConversationOutline& outline) {
    json participants = json::array();
    for (const Participant& participant : outline.participants)
        participants.push_back({{"handle", participant.handle}, {"name", participant.name}});
    return {{"title", outline.title},
            {"service", outline.service},
            {"participants", participants},
            {"messages", outline.messageCount},
            {"firstDate", isoDate(outline.firstDate)},
            {"lastDate", isoDate(outline.lastDate)}};
}

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
    json list = json::array();
    const Status whole = forEachStore(
        opened, present, request.includeStatus,
        [&](const WhatsAppApplication&, ConversationStore& store) {
            for (const std::string& warning : store.warnings()) context.complain(warning);
            for (const ConversationOutline& outline : store.outlines()) {
                if (request.json) {
                    list.push_back(outlineJson(outline));
                    continue;
                }
                context.out << field(outline.title) << '\t' << outline.service << '\t'
                            << participantsText(outline) << '\t' << outline.messageCount << '\t'
                            << shownDate(outline.firstDate) << '\t' << shownDate(outline.lastDate)
                            << '\n';
            }
        });
    if (request.json)
        context.out << list.dump(2, ' ', false, json::error_handler_t::replace) << '\n';
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
