#include "sources/messages/ConversationJson.h"

#include <nlohmann/json.hpp>

#include "export/JsonText.h"
#include "export/LocalDate.h"

namespace salvora {
namespace {

using Json = nlohmann::ordered_json;

// Text from the phone that is no UTF-8 gets U+FFFD where it breaks, never an exception.
std::string dumped(const Json& value) {
    return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

// A text the phone leaves empty where it has none: null then.
void appendTextOrNull(std::string& out, std::string_view text) {
    if (text.empty())
        out += "null";
    else
        appendJsonString(out, text);
}

void appendParticipant(std::string& out, const Participant& participant) {
    out += "{\"handle\":";
    appendJsonString(out, participant.handle);
    out += ",\"name\":";
    appendTextOrNull(out, participant.name);
    out += '}';
}

void appendSender(std::string& out, const ExportedConversation& conversation, std::size_t sender,
                  bool fromMe) {
    const auto& participants = conversation.outline->participants;
    if (fromMe || sender >= participants.size())
        out += "null";
    else
        appendParticipant(out, participants[sender]);
}

// One message, written straight into `out`.
void appendMessage(std::string& out, const ExportedConversation& conversation, std::size_t index) {
    const Message& message = conversation.messages[index];
    out += "{\"date\":";
    if (message.date)
        appendJsonString(out, isoLocalDate(*message.date));
    else
        out += "null";
    out += ",\"fromMe\":";
    appendJsonBool(out, message.fromMe);
    out += ",\"sender\":";
    appendSender(out, conversation, message.sender, message.fromMe);
    out += ",\"text\":";
    appendJsonStringOrNull(out, message.text);
    out += ",\"attachments\":[";
    for (std::size_t i = 0; i < message.attachments.size(); ++i) {
        const MessageAttachment& attachment = message.attachments[i];
        const auto& saved = conversation.saved.at(index).at(i);
        out += i == 0 ? "{\"name\":" : ",{\"name\":";
        appendJsonString(out, attachmentName(attachment));
        out += ",\"path\":";
        if (saved)
            appendJsonString(out, conversation.folder + "/attachments/" + saved->name);
        else
            out += "null";
        out += ",\"mimeType\":";
        appendTextOrNull(out, attachment.mimeType);
        out += '}';
    }
    out += "],\"reactions\":[";
    for (std::size_t i = 0; i < message.reactions.size(); ++i) {
        const Reaction& reaction = message.reactions[i];
        out += i == 0 ? "{\"sender\":" : ",{\"sender\":";
        appendSender(out, conversation, reaction.sender, reaction.sender == fromOwner);
        out += ",\"kind\":";
        appendJsonString(out, reaction.kind);
        out += ",\"emoji\":";
        appendJsonString(out, reaction.emoji);
        out += '}';
    }
    out += "],\"replyTo\":";
    if (message.replyTo && *message.replyTo < conversation.messages.size())
        appendJsonNumber(out, *message.replyTo);
    else
        out += "null";
    out += ",\"edited\":";
    appendJsonBool(out, message.edited);
    out += ",\"unsent\":";
    appendJsonBool(out, message.unsent);
    out += ",\"event\":";
    appendJsonStringOrNull(out, message.event);
    if (message.note) {
        out += ",\"note\":";
        appendJsonString(out, *message.note);
    }
    if (message.location)
        out += ",\"location\":" + dumped(Json{{"latitude", message.location->latitude},
                                              {"longitude", message.location->longitude}});
    out += '}';
}

}  // namespace

ConversationJson::ConversationJson(StreamedOutput& output) : output_(output) {
    output_.write("{\"conversations\":[");
}

void ConversationJson::add(const ExportedConversation& conversation) {
    const ConversationOutline& outline = *conversation.outline;
    std::string text = first_ ? "\n" : ",\n";
    first_ = false;
    text += "{\"title\":";
    appendJsonString(text, shownTitle(outline));
    text += ",\"service\":";
    appendJsonString(text, outline.service);
    text += ",\"participants\":[";
    for (std::size_t i = 0; i < outline.participants.size(); ++i) {
        if (i > 0) text += ',';
        appendParticipant(text, outline.participants[i]);
    }
    text += ']';
    if (outline.archived) {
        text += ",\"archived\":";
        appendJsonBool(text, *outline.archived);
    }
    text += ",\"messages\":[";
    output_.write(text);
    for (std::size_t index = 0; index < conversation.messages.size(); ++index) {
        text = index == 0 ? "\n" : ",\n";
        appendMessage(text, conversation, index);
        output_.write(text);
    }
    output_.write("]}");
}

void ConversationJson::finish() { output_.write("\n]}\n"); }

}  // namespace salvora
