#include "sources/messages/ExportedConversation.h"

#include "export/LocalDate.h"
#include "foundation/Path.h"
#include "recovery/SafeNames.h"

namespace salvora {

void dateMessages(ExportedConversation& conversation) {
    conversation.shownDates.clear();
    conversation.shownDates.reserve(conversation.messages.size());
    for (const Message& message : conversation.messages)
        conversation.shownDates.push_back(message.date ? localDateText(*message.date)
                                                       : std::string());
}

const std::string& senderName(const ExportedConversation& conversation, std::size_t sender) {
    const auto& participants = conversation.outline->participants;
    if (sender == fromOwner || sender >= participants.size()) return conversation.me;
    return shownName(participants[sender]);
}

const std::string& messageSenderName(const ExportedConversation& conversation,
                                     const Message& message) {
    static const std::string unknown = "Unknown";
    if (message.fromMe) return conversation.me;
    const auto& participants = conversation.outline->participants;
    if (message.sender < participants.size()) return shownName(participants[message.sender]);
    return participants.size() == 1 ? shownName(participants.front()) : unknown;
}

std::string shownTitle(const ConversationOutline& outline) {
    if (!outline.title.empty()) return outline.title;
    std::string names;
    for (const Participant& participant : outline.participants)
        names += (names.empty() ? "" : ", ") + shownName(participant);
    return names.empty() ? "Conversation" : names;
}

std::string attachmentName(const MessageAttachment& attachment) {
    std::string name = withoutSeparators(lastPathComponent(attachment.name));
    if (name.empty() || name == "." || name == "..")
        name = withoutSeparators(lastPathComponent(attachment.relativePath));
    if (name.empty() || name == "." || name == "..") name = "attachment";
    return name;
}

}  // namespace salvora
