#pragma once

// The WhatsApp applications a backup holds chats of, and their chats opened from it.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/model/Records.h"
#include "crypto/UnlockedKeybag.h"
#include "foundation/Error.h"
#include "sources/messages/Conversation.h"

namespace salvora {

struct WhatsAppApplication {
    std::string_view service;  // "WhatsApp", "WhatsApp Business"
    std::string_view domain;   // the group container holding "ChatStorage.sqlite"
};

// The store of the chats, at the root of each application's group container.
inline constexpr std::string_view whatsAppChatStorage = "ChatStorage.sqlite";

inline constexpr WhatsAppApplication whatsApp{"WhatsApp",
                                              "AppDomainGroup-group.net.whatsapp.WhatsApp.shared"};
inline constexpr WhatsAppApplication whatsAppBusiness{
    "WhatsApp Business", "AppDomainGroup-group.net.whatsapp.WhatsAppSMB.shared"};

// Those of the two whose "ChatStorage.sqlite" the backup holds, WhatsApp first.
std::vector<WhatsAppApplication> whatsAppApplicationsIn(const ApplicationMap& applications);

// The application's chats, named by the backup's address book where it has one; the store looks
// its media up in `applications`, which must outlive it. Fails as NotInBackup when the backup holds
// no "ChatStorage.sqlite" of it.
Result<std::unique_ptr<ConversationStore>> openBackupWhatsAppChats(
    const std::string& deviceDirectory, const ApplicationMap& applications,
    const UnlockedKeybag* keybag, const WhatsAppApplication& application, bool includeStatus);

// Where the chats of `application` go in an export into `destination`: with both applications in
// the backup, each into a folder of its own named by its service, so neither replaces the other;
// with one, into `destination` itself.
std::string whatsAppDestination(const std::string& destination,
                                const std::vector<WhatsAppApplication>& present,
                                const WhatsAppApplication& application);

}  // namespace salvora
