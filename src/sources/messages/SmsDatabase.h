#pragma once

// The conversations of Messages' database, HomeDomain "Library/SMS/sms.db", in every generation
// of its schema, told apart by the tables and columns it has:
// - iOS 3 and 4: messages with an `address` and `flags`, grouped by `group_id` where a
//   `msg_group` table exists, else by address; dates in seconds since 1970;
// - iOS 5 on: chats, handles and the tables joining them to messages; dates since 2001, in
//   seconds, or in nanoseconds since iOS 11 (told apart value by value, by magnitude);
// - later additions where present: replies, bodies only in `attributedBody`, edits, unsent
//   messages, reactions (shown on their target, never as messages) and group events.
// Every message row that is not a reaction belongs to exactly one conversation: one in no chat
// goes to a conversation with its handle.
#include <memory>
#include <string>

#include "foundation/Error.h"
#include "recovery/StoredDatabase.h"
#include "sources/contacts/ContactNames.h"
#include "sources/messages/Conversation.h"
#include "sources/messages/MessagePieces.h"

struct sqlite3;

namespace salvora {

inline constexpr std::string_view smsDomain = "HomeDomain";
inline constexpr std::string_view smsDatabasePath = "Library/SMS/sms.db";

// `names` gives people their address-book names; `ownerName` is who group events name for the
// phone's owner ("Me added Ada"); `partFiles` the files of iOS 3 and 4's message parts the backup
// holds (MessagePieces.h). Fails only when the database holds no message table at all or SQLite
// can't read it; anything else it can't read is left out with a sentence in warnings().
Result<std::unique_ptr<ConversationStore>> openSmsConversations(StoredDatabase stored,
                                                                ContactNames names,
                                                                std::string ownerName = "Me",
                                                                PartFiles partFiles = {});

// How many conversations and messages the reader would find, counted without reading a row.
Result<ConversationCounts> countSmsConversations(sqlite3* database);

// The backup's sms.db (HomeDomain "Library/SMS/sms.db" with its -wal) opened so, its people named
// by the backup's address book where it has one. Fails as NotInBackup when it holds no sms.db.
Result<std::unique_ptr<ConversationStore>> openBackupSmsConversations(
    const std::string& deviceDirectory, const ApplicationMap& applications,
    const UnlockedKeybag* keybag, std::string ownerName = "Me");

}  // namespace salvora
