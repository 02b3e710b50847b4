#include "sources/whatsapp/BackupWhatsApp.h"

#include <memory>

#include "catalog/StoredFileLookup.h"
#include "foundation/Path.h"
#include "recovery/StoredDatabase.h"
#include "sources/contacts/AddressBookNames.h"
#include "sources/whatsapp/WhatsAppChats.h"

namespace salvora {
namespace {

constexpr std::string_view callHistory = "CallHistory.sqlite";

}  // namespace

std::vector<WhatsAppApplication> whatsAppApplicationsIn(const ApplicationMap& applications) {
    std::vector<WhatsAppApplication> present;
    for (const WhatsAppApplication& application : {whatsApp, whatsAppBusiness})
        if (findStoredFile(applications, application.domain, whatsAppChatStorage))
            present.push_back(application);
    return present;
}

std::string whatsAppDestination(const std::string& destination,
                                const std::vector<WhatsAppApplication>& present,
                                const WhatsAppApplication& application) {
    return present.size() > 1 ? appendingPathComponent(destination, application.service)
                              : destination;
}

Result<std::unique_ptr<ConversationStore>> openBackupWhatsAppChats(
    const std::string& deviceDirectory, const ApplicationMap& applications,
    const UnlockedKeybag* keybag, const WhatsAppApplication& application, bool includeStatus) {
    Result<StoredDatabase> chats = openStoredDatabaseAt(
        deviceDirectory, applications, application.domain, whatsAppChatStorage, keybag);
    if (!chats) return chats.error();
    std::optional<StoredDatabase> calls;
    if (Result<StoredDatabase> opened = openStoredDatabaseAt(
            deviceDirectory, applications, application.domain, callHistory, keybag))
        calls.emplace(std::move(*opened));
    // Without an address book people are shown by the chats' own names and their numbers.
    Result<ContactNames> names = readContactNames(deviceDirectory, applications, keybag);
    WhatsAppChatOptions options;
    options.includeStatus = includeStatus;
    options.service = std::string(application.service);
    options.domain = std::string(application.domain);
    // One index for every media path of the store: a look-up of its own would read the
    // application's files once per message.
    options.holdsFile = [index = std::make_shared<StoredFileIndex>(applications),
                         domain = options.domain](std::string_view path) {
        return index->find(domain, path).has_value();
    };
    return openWhatsAppChats(std::move(*chats), std::move(calls),
                             names ? std::move(*names) : ContactNames{}, std::move(options));
}

}  // namespace salvora
