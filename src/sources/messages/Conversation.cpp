#include "sources/messages/Conversation.h"

namespace salvora {

const std::string& shownName(const Participant& participant) {
    return participant.name.empty() ? participant.handle : participant.name;
}

}  // namespace salvora
