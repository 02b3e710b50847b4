#pragma once

// "conversation.txt": a line per message, for reading anywhere and for grep: its local date and
// time, its sender, its text (line breaks shown as " ⏎ "), then its attachments, location,
// reactions and whether it was edited or unsent; an event is a line "— what happened".
#include <string>

#include "foundation/Error.h"
#include "foundation/OpenFolder.h"
#include "sources/messages/ExportedConversation.h"

namespace salvora {

inline constexpr std::string_view conversationTextName = "conversation.txt";

Status writeConversationText(const ExportedConversation& conversation, const OpenFolder& folder);

}  // namespace salvora
