#include "sources/messages/ConversationJson.h"

#include <nlohmann/json.hpp>

#include "export/LocalDate.h"

namespace salvora {
namespace {

using Json = nlohmann::ordered_json;

// Text from the phone that is no UTF-8 gets U+FFFD where it breaks, never an exception.
std::string dumped(const Json& value) {
    return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

Json participantJson(const Participant& participant) {
    return {{"handle", participant.handle},
            {"name", participant.name.empty() ? Json(nullptr) : Json(participant.name)}};
}

Json senderJson(const ExportedConversation& conversation, std::size_t sender, bool fromMe) {
    const auto& participants = conversation.outline->participants;
    if (fromMe || sender >= participants.size()) return nullptr;
    return participantJson(participants[sender]);
}

template <typename T>
Json orNull(const std::optional<T>& value) {
    return value ? Json(*value) : Json(nullptr);
}

Json messageJson(const ExportedConversation& conversation, std::size_t index) {
    const Message& message = conversation.messages[index];
    Json attachments = Json::array();
    for (std::size_t i = 0; i < message.attachments.size(); ++i) {
        const MessageAttachment& attachment = message.attachments[i];
        const auto& saved = conversation.saved.at(index).at(i);
        attachments.push_back(
            {{"name", attachmentName(attachment)},
             {"path",
              saved ? Json(conversation.folder + "/attachments/" + saved->name) : Json(nullptr)},
             {"mimeType",
              attachment.mimeType.empty() ? Json(nullptr) : Json(attachment.mimeType)}});
    }
    Json reactions = Json::array();
    for (const Reaction& reaction : message.reactions)
        reactions.push_back(
            {{"sender", senderJson(conversation, reaction.sender, reaction.sender == fromOwner)},
             {"kind", reaction.kind},
             {"emoji", reaction.emoji}});
    const bool replyKnown = message.replyTo && *message.replyTo < conversation.messages.size();
    Json json = {{"date", message.date ? Json(isoLocalDate(*message.date)) : Json(nullptr)},
                 {"fromMe", message.fromMe},
                 {"sender", senderJson(conversation, message.sender, message.fromMe)},
                 {"text", orNull(message.text)},
                 {"attachments", std::move(attachments)},
                 {"reactions", std::move(reactions)},
                 {"replyTo", replyKnown ? Json(*message.replyTo) : Json(nullptr)},
                 {"edited", message.edited},
                 {"unsent", message.unsent},
                 {"event", orNull(message.event)}};
    if (message.note) json["note"] = *message.note;
    if (message.location)
        json["location"] = {{"latitude", message.location->latitude},
                            {"longitude", message.location->longitude}};
    return json;
}

}  // namespace

ConversationJson::ConversationJson(StreamedOutput& output) : output_(output) {
    output_.write("{\"conversations\":[");
}

void ConversationJson::add(const ExportedConversation& conversation) {
    const ConversationOutline& outline = *conversation.outline;
    Json participants = Json::array();
    for (const Participant& participant : outline.participants)
        participants.push_back(participantJson(participant));
    Json head = {{"title", shownTitle(outline)},
                 {"service", outline.service},
                 {"participants", std::move(participants)}};
    if (outline.archived) head["archived"] = *outline.archived;
    // The head without its closing brace, then the messages one by one.
    std::string text = dumped(head);
    text.pop_back();
    output_.write(first_ ? "\n" : ",\n");
    first_ = false;
    output_.write(text);
    output_.write(",\"messages\":[");
    for (std::size_t index = 0; index < conversation.messages.size(); ++index) {
        output_.write(index == 0 ? "\n" : ",\n");
        output_.write(dumped(messageJson(conversation, index)));
    }
    output_.write("]}");
}

void ConversationJson::finish() { output_.write("\n]}\n"); }

}  // namespace salvora
