#include "sources/messages/ConversationText.h"

#include <algorithm>

#include "export/CoordinateText.h"
#include "export/StreamedFile.h"

namespace salvora {
namespace {

// The text on one line: each line break (CR, LF or both) as " ⏎ ".
void appendOneLine(std::string& line, std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        const auto lineBreak =
            std::find_if(text.begin() + static_cast<std::ptrdiff_t>(at), text.end(),
                         [](char c) { return c == '\r' || c == '\n'; });
        const auto end = static_cast<std::size_t>(lineBreak - text.begin());
        line.append(text.substr(at, end - at));
        if (end == text.size()) break;
        line.append(" \u23CE ");
        at = end + (text.substr(end, 2) == "\r\n" ? 2 : 1);
    }
}

// The message's line, without its end.
void appendLine(std::string& line, const ExportedConversation& conversation, std::size_t index) {
    const Message& message = conversation.messages[index];
    line.append(message.date ? std::string_view(conversation.shownDates[index]) : "(no date)");
    if (message.event) {
        line.append(" — ");
        appendOneLine(line, *message.event);
        return;
    }
    line.append(" ").append(messageSenderName(conversation, message)).append(":");
    if (message.replyTo && *message.replyTo < conversation.messages.size())
        line.append(" (reply to ")
            .append(messageSenderName(conversation, conversation.messages[*message.replyTo]))
            .append(")");
    if (message.text) appendOneLine(line.append(" "), *message.text);
    if (message.note) appendOneLine(line.append(" "), *message.note);
    if (message.location) {
        line.append(" [location: ")
            .append(coordinateText(message.location->latitude))
            .append(", ")
            .append(coordinateText(message.location->longitude))
            .append("]");
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
}

}  // namespace

Status writeConversationText(const ExportedConversation& conversation, const OpenFolder& folder) {
    return streamFile(folder, conversationTextName, [&](StreamedOutput& output) -> Status {
        std::string line;
        for (std::size_t index = 0; index < conversation.messages.size(); ++index) {
            line.clear();
            appendLine(line, conversation, index);
            line.push_back('\n');
            output.write(line);
        }
        return {};
    });
}

}  // namespace salvora
