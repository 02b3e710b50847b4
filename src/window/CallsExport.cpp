#include "window/CallsExport.h"

#include <QCoreApplication>

#include "sources/calls/CallExport.h"

namespace salvora {

SourceExport callsExport() {
    return {QCoreApplication::translate("CallsExport", "Exporting Call History"),
            [](const ApplicationMap& applications) { return hasCallHistory(applications); },
            [](const SourceExportRequest& request, const SaveProgress& progress) {
                return exportBackupCalls(request.deviceDirectory, request.applications,
                                         request.keybag, request.destination, progress);
            }};
}

}  // namespace salvora
