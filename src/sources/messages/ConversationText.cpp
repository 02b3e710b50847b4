#include "sources/messages/ConversationText.h"

#include <cstdio>

#include "export/LocalDate.h"
#include "export/StreamedFile.h"

namespace salvora {
namespace {

// The text on one line: each line break (CR, LF or both) as " ⏎ ".
void appendOneLine(std::string& line, std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            line.append(" \u23CE ");
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            line.push_back(text[i]);
        }
    }
}

}  // namespace

std::string conversationLine(const ExportedConversation& conversation, std::size_t index) {
    const Message& message = conversation.messages[index];
    std::string line = message.date ? localDateText(*message.date) : "(no date)";
    if (message.event) {
        line.append(" — ");
        appendOneLine(line, *message.event);
        return line;
    }
    line.append(" ").append(messageSenderName(conversation, message)).append(":");
    if (message.replyTo && *message.replyTo < conversation.messages.size())
        line.append(" (reply to ")
            .append(messageSenderName(conversation, conversation.messages[*message.replyTo]))
            .append(")");
    if (message.text) appendOneLine(line.append(" "), *message.text);
    if (message.note) appendOneLine(line.append(" "), *message.note);
    if (message.location) {
        char text[80];
        std::snprintf(text, sizeof text, " [location: %.6f, %.6f]", message.location->latitude,
                      message.location->longitude);
        line.append(text);
    }
    for (std::size_t i = 0; i < message.attachments.size(); ++i) {
        const bool saved = index < conversation.saved.size() &&
                           i < conversation.saved[index].size() && conversation.saved[index][i];
        line.append(" [attachment: ")
            .append(saved ? conversation.saved[index][i]->name
                          : attachmentName(message.attachments[i]))
            .append(saved ? "]" : " (" + std::string(conversation.notSaved) + ")]");
    }
    for (const Reaction& reaction : message.reactions)
        line.append(" [")
            .append(reaction.emoji.empty() ? reaction.kind : reaction.emoji)
            .append(" ")
            .append(senderName(conversation, reaction.sender))
            .append("]");
    if (message.edited) line.append(" (edited)");
    if (message.unsent) line.append(" (unsent)");
    return line;
}

Status writeConversationText(const ExportedConversation& conversation, const OpenFolder& folder) {
    return streamFile(folder, conversationTextName, [&](StreamedOutput& output) -> Status {
        for (std::size_t index = 0; index < conversation.messages.size(); ++index) {
            output.write(conversationLine(conversation, index));
            output.write("\n");
        }
        return {};
    });
}

}  // namespace salvora
