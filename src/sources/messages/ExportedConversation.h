#pragma once

// One conversation as an export writes it: the messages the export keeps (dates and filters
// applied, replies pointing into what is kept), where each attachment's file went, and the
// folder it is written in. Every writer of a conversation (pages, text, JSON, search) reads this.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sources/messages/Conversation.h"

namespace salvora {

// Where an attachment's file went in "attachments/": its name, and the JPEG made beside a photo
// no browser shows (HEIC), when one could be.
struct SavedAttachment {
    std::string name;
    std::optional<std::string> browserImage;
};

struct ExportedConversation {
    const ConversationOutline* outline = nullptr;
    std::string folder;  // its folder's name in the export
    std::vector<Message> messages;
    // For each message, for each of its attachments: the file's name in "attachments/", absent
    // when the backup lacks it or attachments are left out.
    std::vector<std::vector<std::optional<SavedAttachment>>> saved;
    std::string me;  // the name the phone's owner is shown under
    // What an attachment without a file is marked with.
    std::string_view notSaved = "not in this backup";
    // Each message's date as people read it ("2024-03-01 14:05 +01:00"), empty for one without:
    // made once for the pages, the text and the search, which all show it.
    std::vector<std::string> shownDates{};
};

// Fills in `shownDates` for the messages.
void dateMessages(ExportedConversation& conversation);

// The name shown for a message's or reaction's sender.
const std::string& senderName(const ExportedConversation& conversation, std::size_t sender);

// The name shown for who sent the message: the owner's for their own, the one person of a
// conversation with one when the application recorded no sender, else "Unknown".
const std::string& messageSenderName(const ExportedConversation& conversation,
                                     const Message& message);

// The title shown for a conversation: its own, else its participants' names.
std::string shownTitle(const ConversationOutline& outline);

// The name an attachment is shown and saved under: the sender's, else the stored file's.
std::string attachmentName(const MessageAttachment& attachment);

}  // namespace salvora
