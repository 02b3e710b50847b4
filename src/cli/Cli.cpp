#include "cli/Cli.h"

#include <CLI/CLI.hpp>
#include <optional>

#include "cli/CalendarCommand.h"
#include "cli/CallsCommand.h"
#include "cli/CommandOptions.h"
#include "cli/ContactsCommand.h"
#include "cli/ExtractCommands.h"
#include "cli/ListCommands.h"
#include "cli/MessagesCommand.h"
#include "cli/PhotosCommand.h"
#include "cli/SummaryCommand.h"
#include "cli/WhatsAppCommand.h"

namespace salvora::cli {
namespace {

// How an APP operand names an application.
const std::string byNameOrDisplayName = " (exact name, or a display name no other has)";

// What the command line asked for, filled in by the parser.
struct Request {
    bool json = false;
    bool all = false;
    bool verbose = false;
    BackupOperand operand;
    std::string application;
    std::string fullpath;
    std::string destination;
    PhotoExportOptions photos;
    SaveOptions saving;
};

Format formatOf(const Request& request) { return request.json ? Format::Json : Format::Text; }

CLI::App* addListing(CLI::App& app, const char* name, const char* description, Request& request) {
    CLI::App* command = app.add_subcommand(name, description);
    command->add_flag("--json", request.json, "Print JSON instead of tab-separated lines");
    return command;
}

}  // namespace

int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
        bool showProgress) {
    return run(args, out, err, showProgress, PasswordInput{});
}

int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
        bool showProgress, const PasswordInput& input) {
    CLI::App app("Gets files back out of iPhone backups.", "salvora-cli");
    app.set_version_flag("--version", "salvora-cli " SALVORA_VERSION);
    app.require_subcommand(1);
    Request request;
    ChosenCommand chosen;

    CLI::App* devices = addListing(app, "devices", "List the backups of this computer", request);

    CLI::App* apps = addListing(app, "apps", "List the applications of a backup", request);
    addBackup(apps, request.operand);
    apps->add_flag("--verbose", request.verbose,
                   "Tell on standard error what each layout of the backup gave, and why a "
                   "backup lists nothing");

    CLI::App* files = addListing(app, "files", "List the files of a backup", request);
    addBackup(files, request.operand);
    CLI::Option* onlyApplication = files->add_option(
        "APP", request.application, "Only the files of this application" + byNameOrDisplayName);

    CLI::App* extract = app.add_subcommand("extract", "Save every file of an application");
    extract->footer(
        "Forms:\n"
        "  salvora-cli extract BACKUP APP DEST    the files of APP, below DEST\n"
        "  salvora-cli extract BACKUP --all DEST  every application, each in DEST/<name>/");
    addBackup(extract, request.operand);
    // With --all the second operand is DEST: it lands in APP and is moved after parsing.
    extract
        ->add_option("APP", request.application,
                     "The application" + byNameOrDisplayName + "; left out with --all")
        ->required();
    CLI::Option* extractDestination =
        extract->add_option("DEST", request.destination, "The folder to save into");
    extract->add_flag("--all", request.all, "Every application, each below DEST in its own folder");
    addPortableNames(extract, request.saving.portableNames);

    CLI::App* extractFileCommand = app.add_subcommand(
        "extract-file", "Save the first file of APP whose relative path is FULLPATH to TARGET");
    addBackup(extractFileCommand, request.operand);
    extractFileCommand
        ->add_option("APP", request.application, "The application" + byNameOrDisplayName)
        ->required();
    extractFileCommand->add_option("FULLPATH", request.fullpath, "The file's relative path")
        ->required();
    extractFileCommand->add_option("TARGET", request.destination, "Where to save it")->required();
    addPortableNames(extractFileCommand, request.saving.portableNames);

    CLI::App* photos = app.add_subcommand(
        "photos", "Export the camera roll's photos and videos into DEST/YYYY/MM/ by capture date");
    addBackup(photos, request.operand);
    photos->add_option("DEST", request.destination, "The folder to export into")->required();
    photos->add_flag("--albums", request.photos.albums,
                     "Also DEST/Albums/ALBUM/ with each user album's photos and videos");
    photos->add_flag("--include-hidden", request.photos.includeHidden,
                     "Also the photos and videos hidden in the library");
    photos->add_flag("--include-deleted", request.photos.includeDeleted,
                     "Also the photos and videos in \"Recently Deleted\"");
    addPortableNames(photos, request.photos.portableNames);

    // The commands kept in files of their own, one line each.
    addMessagesCommand(app, request.operand, chosen);
    addContactsCommand(app, request.operand, chosen);
    addCallsCommand(app, request.operand, chosen);
    addCalendarCommand(app, request.operand, chosen);
    addWhatsAppCommand(app, request.operand, chosen);
    addSummaryCommand(app, request.operand, chosen);

    try {
        std::vector<std::string> reversed(args.rbegin(), args.rend());
        app.parse(reversed);
        if (extract->parsed() && request.all == (extractDestination->count() > 0))
            throw CLI::ValidationError("extract needs BACKUP APP DEST, or BACKUP --all DEST");
        if (request.all) request.destination = request.application;
    } catch (const CLI::ParseError& error) {
        return app.exit(error, out, err) == 0 ? Success : UsageError;
    }

    PasswordSource passwords{std::nullopt, request.operand.passwordStdin, input};
    if (!request.operand.passwordFile.empty()) passwords.file = request.operand.passwordFile;
    const CommandContext context{out, err, showProgress, passwords};
    if (chosen) return chosen(context);
    if (devices->parsed()) return listDevices(context, formatOf(request));
    if (apps->parsed())
        return listApplications(context, request.operand.backup, formatOf(request),
                                request.verbose);
    if (files->parsed()) {
        std::optional<std::string> application;
        if (onlyApplication->count() > 0) application = request.application;
        return listFiles(context, request.operand.backup, application, formatOf(request));
    }
    if (extract->parsed()) {
        if (request.all)
            return extractAll(context, request.operand.backup, request.destination, request.saving);
        return extractApplication(context, request.operand.backup, request.application,
                                  request.destination, request.saving);
    }
    if (photos->parsed())
        return exportPhotosOf(context, request.operand.backup, request.destination, request.photos);
    return extractFile(context, request.operand.backup, request.application, request.fullpath,
                       request.destination, request.saving);
}

}  // namespace salvora::cli
