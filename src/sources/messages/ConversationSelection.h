#pragma once

// Which conversations and messages an export keeps, by its options.
#include <vector>

#include "sources/messages/Conversation.h"
#include "sources/messages/ConversationExport.h"

namespace salvora {

// Whether the conversation's title, or a participant's name or handle, holds the options' text
// in any letter case; every conversation when there is none. Dates left out of the outline
// never rule a conversation out.
bool conversationWanted(const ConversationOutline& outline,
                        const ConversationExportOptions& options);

// The messages dated within the options' range (an undated one is kept only without a range),
// each reply pointing at its message among those kept, or at none when that one is left out.
std::vector<Message> messagesWanted(std::vector<Message> messages,
                                    const ConversationExportOptions& options);

}  // namespace salvora
