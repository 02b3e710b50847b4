#pragma once

// The export for programs, "KIND.json": {"conversations": [{"title", "service", "participants":
// [{"handle", "name"}], "messages": [{"date", "fromMe", "sender", "text", "attachments":
// [{"name", "path", "mimeType"}], "reactions": [{"sender", "kind", "emoji"}], "replyTo",
// "edited", "unsent", "event"}]}]}, a message's "note" and "location" ({"latitude",
// "longitude"}) only where it has one. Dates are ISO 8601 in this computer's time zone with its
// offset; a sender is {"handle", "name"}, or null for the phone's owner; an attachment's path is
// relative to the export's folder, null when the file was not copied. Written a conversation at
// a time: the whole export is never held at once.
#include "export/StreamedFile.h"
#include "sources/messages/ExportedConversation.h"

namespace salvora {

class ConversationJson {
  public:
    explicit ConversationJson(StreamedOutput& output);

    void add(const ExportedConversation& conversation);
    // Closes the list and the object.
    void finish();

  private:
    StreamedOutput& output_;
    bool first_ = true;
};

}  // namespace salvora
