#include "cli/ConversationListing.h"

#include <algorithm>

#include "export/LocalDate.h"
#include "sources/messages/ExportedConversation.h"

namespace salvora::cli {
namespace {

using Json = nlohmann::ordered_json;

// A field of a tab-separated line: a tab or line break a name holds would split it.
std::string field(std::string text) {
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\t' || c == '\n' || c == '\r'; }, ' ');
    return text;
}

std::string dateText(const std::optional<UnixMillis>& date) {
    return date ? isoLocalDate(*date) : std::string();
}

Json dateJson(const std::optional<UnixMillis>& date) {
    return date ? Json(isoLocalDate(*date)) : Json(nullptr);
}

}  // namespace

void ConversationListing::add(const ConversationOutline& outline) {
    if (!asJson_) {
        std::string participants;
        for (const Participant& participant : outline.participants)
            participants += (participants.empty() ? "" : ", ") + shownName(participant);
        out_ << field(shownTitle(outline)) << '\t' << field(outline.service) << '\t'
             << field(std::move(participants)) << '\t' << outline.messageCount << '\t'
             << dateText(outline.firstDate) << '\t' << dateText(outline.lastDate) << '\n';
        return;
    }
    Json participants = Json::array();
    for (const Participant& participant : outline.participants)
        participants.push_back(
            {{"handle", participant.handle},
             {"name", participant.name.empty() ? Json(nullptr) : Json(participant.name)}});
    Json entry = {{"title", shownTitle(outline)},
                  {"service", outline.service},
                  {"participants", std::move(participants)},
                  {"messages", outline.messageCount},
                  {"firstDate", dateJson(outline.firstDate)},
                  {"lastDate", dateJson(outline.lastDate)}};
    if (outline.archived) entry["archived"] = *outline.archived;
    conversations_.push_back(std::move(entry));
}

void ConversationListing::finish() {
    if (!asJson_) return;
    out_ << Json{{"conversations", std::move(conversations_)}}.dump(2, ' ', false,
                                                                    Json::error_handler_t::replace)
         << '\n';
}

}  // namespace salvora::cli
