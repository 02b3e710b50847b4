#pragma once

// Conversations as people read them, whichever application kept them: who took part, and each
// message with its sender, text, attachments, reactions and the message it replies to. Messages
// (sms.db) and WhatsApp (ChatStorage.sqlite) read into this one model, and every writer of
// conversations (HTML pages, text, JSON) reads only it.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "foundation/Error.h"

namespace salvora {

// Someone a conversation is with: the handle the application keeps (a phone number, an e-mail
// address, a WhatsApp JID) and the name the backup's contacts or the application give it (empty
// when none does: writers then show the handle).
struct Participant {
    std::string handle;
    std::string name;
};

// The name writers show for someone: their name, else their handle as written.
const std::string& shownName(const Participant& participant);

// Who sent a message or reaction: an index into the conversation's participants, or the
// phone's owner.
inline constexpr std::size_t fromOwner = static_cast<std::size_t>(-1);

// Times are milliseconds since 1970-01-01 UTC; absent where the application recorded none.
using UnixMillis = std::int64_t;

// A file that came with a message, where the backup keeps it: (domain, relative path) as
// findStoredFile takes them; both empty when the application recorded no path (then it is not
// in this backup).
struct MessageAttachment {
    std::string name;      // the name the sender gave it
    std::string mimeType;  // empty when unknown
    std::string domain;
    std::string relativePath;
    std::optional<UnixMillis> date;
};

// The latest reaction of one person on a message ("loved", "liked", "👍"…): removals already
// taken away.
struct Reaction {
    std::size_t sender = fromOwner;
    std::string kind;   // "love", "like", "dislike", "laugh", "emphasize", "question", "emoji"
    std::string emoji;  // the emoji shown for it
};

struct Location {
    double latitude = 0;
    double longitude = 0;
};

struct Message {
    std::optional<UnixMillis> date;
    bool fromMe = false;
    std::size_t sender = fromOwner;   // fromOwner when fromMe, or when the sender is unknown
    std::optional<std::string> text;  // absent when the message had none
    std::vector<MessageAttachment> attachments;
    std::vector<Reaction> reactions;
    std::optional<std::size_t> replyTo;  // index of the message replied to in this conversation
    bool edited = false;
    bool unsent = false;  // unsent by its sender, or deleted for everyone
    // A line of the conversation that is no one's words: a rename, someone added or leaving,
    // a call ("Missed voice call"), a change of security code.
    std::optional<std::string> event;
    // What a message that is not plain text holds, in words ("Contact card: Ada Lovelace",
    // "Poll: Lunch? (Pizza, Sushi)", "Sticker"), for kinds with no richer field here.
    std::optional<std::string> note;
    std::optional<Location> location;
};

// What a list of conversations shows of each, known before its messages are read.
struct ConversationOutline {
    std::string title;
    std::string service;  // "iMessage", "SMS", "WhatsApp", "WhatsApp Business"…
    std::vector<Participant> participants;
    std::size_t messageCount = 0;
    std::optional<UnixMillis> firstDate;
    std::optional<UnixMillis> lastDate;
    // Whether the user archived it; absent where the application keeps no such mark.
    std::optional<bool> archived;
};

struct Conversation {
    ConversationOutline outline;
    std::vector<Message> messages;  // oldest first
};

// What a store would hold, counted without reading it.
struct ConversationCounts {
    std::size_t conversations = 0;
    std::size_t messages = 0;
};

// One application's conversations, read one at a time so that an export of millions of
// messages holds one conversation in memory.
class ConversationStore {
  public:
    virtual ~ConversationStore() = default;
    // Every conversation, in the store's order.
    virtual const std::vector<ConversationOutline>& outlines() const = 0;
    // The messages of outlines()[index] with a copy of its outline; an error when its rows
    // can't be read at all (a conversation read in part comes back with what was read, and
    // warnings() says why). An export calls it on a thread of its own, one call at a time,
    // and leaves the store alone meanwhile.
    virtual Result<Conversation> read(std::size_t index) = 0;
    // Sentences about what could not be read (a damaged table, a -wal left out), for the user.
    virtual std::vector<std::string> warnings() const = 0;
};

}  // namespace salvora
