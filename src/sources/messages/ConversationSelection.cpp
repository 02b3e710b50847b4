#include "sources/messages/ConversationSelection.h"

#include <unicode/unistr.h>

namespace salvora {
namespace {

std::u16string folded(const std::string& text) {
    icu::UnicodeString unicode = icu::UnicodeString::fromUTF8(text);
    unicode.foldCase();
    return std::u16string(unicode.getBuffer(), static_cast<std::size_t>(unicode.length()));
}

bool inRange(const Message& message, const ConversationExportOptions& options) {
    if (!options.since && !options.until) return true;
    if (!message.date) return false;
    return (!options.since || *message.date >= *options.since) &&
           (!options.until || *message.date < *options.until);
}

}  // namespace

bool conversationWanted(const ConversationOutline& outline,
                        const ConversationExportOptions& options) {
    if (options.since && outline.lastDate && *outline.lastDate < *options.since) return false;
    if (options.until && outline.firstDate && *outline.firstDate >= *options.until) return false;
    if (options.conversation.empty()) return true;
    const std::u16string wanted = folded(options.conversation);
    auto holds = [&](const std::string& text) {
        return folded(text).find(wanted) != std::u16string::npos;
    };
    if (holds(outline.title)) return true;
    for (const Participant& participant : outline.participants)
        if (holds(participant.name) || holds(participant.handle)) return true;
    return false;
}

std::vector<Message> messagesWanted(std::vector<Message> messages,
                                    const ConversationExportOptions& options) {
    if (!options.since && !options.until) return messages;
    std::vector<std::optional<std::size_t>> keptAs(messages.size());
    std::vector<Message> kept;
    for (std::size_t index = 0; index < messages.size(); ++index) {
        if (!inRange(messages[index], options)) continue;
        keptAs[index] = kept.size();
        kept.push_back(std::move(messages[index]));
    }
    for (Message& message : kept)
        if (message.replyTo)
            message.replyTo = *message.replyTo < keptAs.size() ? keptAs[*message.replyTo]
                                                               : std::nullopt;
    return kept;
}

}  // namespace salvora
