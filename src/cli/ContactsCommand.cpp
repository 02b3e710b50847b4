#include "cli/ContactsCommand.h"

#include <memory>

#include "cli/DatabaseExport.h"
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
    return runDatabaseExport(
        context, request.backup, noAddressBook,
        [&](const std::string& deviceDirectory, const ApplicationMap& applications,
            const UnlockedKeybag* keybag, const SaveProgress& progress) {
            return exportBackupContacts(deviceDirectory, applications, keybag, request.destination,
                                        request.options, progress);
        });
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
