#pragma once

// WhatsApp's chats from its Core Data store "ChatStorage.sqlite" (and its calls from
// "CallHistory.sqlite" beside it), read into the conversation model by the columns each
// generation of the store has. Every chat is a conversation of its own, even where two share a
// title; status updates are one conversation, left out unless asked for.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "foundation/Error.h"
#include "recovery/StoredDatabase.h"
#include "sources/contacts/ContactNames.h"
#include "sources/messages/Conversation.h"

struct sqlite3;

namespace salvora {

struct WhatsAppChatOptions {
    bool includeStatus = false;
    std::string service = "WhatsApp";  // each outline's service
    // The group container the store lies in: its media's domain.
    std::string domain = "AppDomainGroup-group.net.whatsapp.WhatsApp.shared";
    // Whether the backup holds a file of the container at that relative path. The store keeps
    // media paths below "Message/" in some versions and below the container in others; with
    // this, a path found only below "Message/" is taken from there. Unset: paths as recorded.
    std::function<bool(std::string_view relativePath)> holdsFile;
};

// `calls`: "CallHistory.sqlite" of the same container, when the backup holds it. Names come
// from the chats themselves (a chat's partner name, a group member's contact name, the name a
// sender gave themselves), then from `names`. Fails only when the store has no chat table this
// reader knows, or SQLite can't read it at all.
Result<std::unique_ptr<ConversationStore>> openWhatsAppChats(StoredDatabase chats,
                                                             std::optional<StoredDatabase> calls,
                                                             ContactNames names,
                                                             WhatsAppChatOptions options);

// How many chats (status updates aside) and messages the store holds, counted without reading
// a row.
Result<ConversationCounts> countWhatsAppChats(sqlite3* database);

// A JID's phone number: the part before "@" of a person's ("4915112345678@s.whatsapp.net"), with
// "+"; absent for a group, a broadcast list or an identity without a number ("@lid").
std::optional<std::string> phoneNumberOfJid(std::string_view jid);

}  // namespace salvora
