#include "cli/ContactsCommand.h"

#include <memory>

#include "cli/Cli.h"
#include "cli/ExportReport.h"
#include "cli/FailureReport.h"
#include "cli/OpenedBackup.h"
#include "cli/ProgressLine.h"
#include "foundation/Log.h"
#include "sources/contacts/ContactExport.h"

namespace salvora::cli {
namespace {

constexpr std::string_view noAddressBook =
    "no address book (HomeDomain Library/AddressBook/AddressBook.sqlitedb) in this backup";

struct ContactsRequest {
    std::string backup;
    std::string destination;
    ContactExportOptions options;
};

int exportContactsOf(const CommandContext& context, const ContactsRequest& request) {
    auto opened = openBackup(context, request.backup);
    if (!opened) return usageFailure(context, opened.error());
    if (!opened->device->applications)
        return usageFailure(context, commandError(std::string(noAddressBook)));
    LogSilence silence;
    ProgressLine progress(context.err, context.showProgress);
    ExportSummary summary = exportBackupContacts(
        opened->device->directory, *opened->device->applications, opened->keybag(),
        request.destination, request.options, progress.saveProgress());
    progress.clear();
    if (summary.error && summary.error->kind == ErrorKind::NotInBackup)
        return usageFailure(context, commandError(std::string(noAddressBook)));
    return reportExport(context, summary);
}

}  // namespace

void addContactsCommand(CLI::App& app, BackupOperand& operand, ChosenCommand& chosen) {
    auto request = std::make_shared<ContactsRequest>();
    CLI::App* command = app.add_subcommand(
        "contacts", "Export the address book into DEST/contacts.vcf and DEST/contacts.csv");
    addBackup(command, operand);
    command->add_option("DEST", request->destination, "The folder to export into")->required();
    command->add_flag("--one-per-contact", request->options.onePerContact,
                      "Also DEST/vcards/NAME.vcf, a card in a file of its own for each contact");
    addPortableNames(command, request->options.portableNames);
    command->callback([request, &operand, &chosen] {
        request->backup = operand.backup;
        chosen = [request](const CommandContext& context) {
            return exportContactsOf(context, *request);
        };
    });
}

}  // namespace salvora::cli
