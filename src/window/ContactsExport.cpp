#include "window/ContactsExport.h"

#include <QCoreApplication>

#include "sources/contacts/ContactExport.h"

namespace salvora {

SourceExport contactsExport() {
    return {QCoreApplication::translate("ContactsExport", "Exporting Contacts"),
            [](const ApplicationMap& applications) { return hasAddressBook(applications); },
            [](const SourceExportRequest& request, const SaveProgress& progress) {
                ContactExportOptions options;
                options.portableNames = request.portableNames;
                return exportBackupContacts(request.deviceDirectory, request.applications,
                                            request.keybag, request.destination, options,
                                            progress);
            }};
}

}  // namespace salvora
