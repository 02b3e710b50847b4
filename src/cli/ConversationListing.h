#pragma once

// What `messages --list` and `whatsapp --list` print, one way for both: a tab-separated line per
// conversation (title, service, participants, messages, first and last date, each date in this
// computer's time zone with its offset), or with --json the whole list as
// {"conversations": [{"title", "service", "participants": [{"handle", "name" or null}],
// "messages", "firstDate", "lastDate"}]}, "archived" added where the application keeps it.
#include <ostream>

#include <nlohmann/json.hpp>

#include "sources/messages/Conversation.h"

namespace salvora::cli {

class ConversationListing {
  public:
    ConversationListing(std::ostream& out, bool asJson) : out_(out), asJson_(asJson) {}

    // A line at once, or an entry of the JSON finish() prints.
    void add(const ConversationOutline& outline);
    void finish();

  private:
    std::ostream& out_;
    bool asJson_;
    nlohmann::ordered_json conversations_ = nlohmann::ordered_json::array();
};

}  // namespace salvora::cli
