#include "window/WhatsAppExport.h"

#include <QObject>

#include "sources/messages/ConversationExport.h"
#include "sources/whatsapp/BackupWhatsApp.h"

namespace salvora {
namespace {

ExportSummary runWhatsAppExport(const SourceExportRequest& request, const SaveProgress& progress) {
    const std::vector<WhatsAppApplication> present = whatsAppApplicationsIn(request.applications);
    ConversationExportOptions options;
    options.kind = "whatsapp";
    options.portableNames = request.portableNames;
    ExportSummary whole;
    for (const WhatsAppApplication& application : present) {
        auto store = openBackupWhatsAppChats(request.deviceDirectory, request.applications,
                                             request.keybag, application, false);
        ExportSummary part;
        if (store)
            part = exportConversations(
                **store, {request.deviceDirectory, request.applications, request.keybag},
                whatsAppDestination(request.destination, present, application), options, progress);
        else
            part.error = store.error();
        addExportPart(whole, std::move(part));
        if (whole.cancelled) break;
    }
    return whole;
}

}  // namespace

SourceExport whatsAppExport() {
    return {QObject::tr("Exporting WhatsApp Chats"),
            [](const ApplicationMap& applications) {
                return !whatsAppApplicationsIn(applications).empty();
            },
            &runWhatsAppExport};
}

}  // namespace salvora
