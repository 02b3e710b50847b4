#include "window/MessagesExport.h"

#include <QObject>

#include "catalog/StoredFileLookup.h"
#include "sources/messages/ConversationExport.h"
#include "sources/messages/SmsDatabase.h"

namespace salvora {
namespace {

ExportSummary runMessagesExport(const SourceExportRequest& request, const SaveProgress& progress) {
    auto store =
        openBackupSmsConversations(request.deviceDirectory, request.applications, request.keybag);
    if (!store) return failedExport(store.error());
    ConversationExportOptions options;
    options.portableNames = request.portableNames;
    return exportConversations(**store,
                               {request.deviceDirectory, request.applications, request.keybag},
                               request.destination, options, progress);
}

}  // namespace

SourceExport messagesExport() {
    return {QObject::tr("Exporting Messages"),
            [](const ApplicationMap& applications) {
                return findStoredFile(applications, smsDomain, smsDatabasePath).has_value();
            },
            &runMessagesExport};
}

}  // namespace salvora
