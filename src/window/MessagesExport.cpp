#include "window/MessagesExport.h"

#include <memory>

#include "catalog/StoredFileLookup.h"
#include "recovery/StoredDatabase.h"
#include "sources/contacts/AddressBookNames.h"
#include "sources/messages/ConversationExport.h"

namespace salvora {
namespace {

constexpr std::string_view smsDomain = "HomeDomain";
constexpr std::string_view smsPath = "Library/SMS/sms.db";

// The conversations of an opened sms.db, named by `names`.
// INTEGRATION POINT: the sms.db reader (sources/messages/SmsDatabase.h) is built beside this
// export; once it is in, this body becomes `return openSmsConversations(database, names);`.
Result<std::unique_ptr<ConversationStore>> smsConversations(StoredDatabase& database,
                                                            const ContactNames& names) {
    static_cast<void>(database);
    static_cast<void>(names);
    return Error{"Could not read the messages of", std::string(smsPath),
                 "This version of Salvora has no reader of sms.db built in"};
}

ExportSummary runMessagesExport(const SourceExportRequest& request, const SaveProgress& progress) {
    ExportSummary summary;
    auto database = openStoredDatabaseAt(request.deviceDirectory, request.applications, smsDomain,
                                         smsPath, request.keybag);
    if (!database) {
        summary.error = database.error();
        return summary;
    }
    // Without the address book, people are shown by their numbers and addresses.
    auto names = readContactNames(request.deviceDirectory, request.applications, request.keybag);
    auto store = smsConversations(*database, names ? *names : ContactNames());
    if (!store) {
        summary.error = store.error();
        return summary;
    }
    ConversationExportOptions options;
    options.portableNames = request.portableNames;
    summary = exportConversations(**store,
                                  {request.deviceDirectory, request.applications, request.keybag},
                                  request.destination, options, progress);
    if (database->warning) summary.warnings.insert(summary.warnings.begin(), *database->warning);
    return summary;
}

}  // namespace

SourceExport messagesExport() {
    return {QStringLiteral("Exporting Messages"),
            [](const ApplicationMap& applications) {
                return findStoredFile(applications, smsDomain, smsPath).has_value();
            },
            &runMessagesExport};
}

}  // namespace salvora
