#pragma once

// Conversations written out as people read them and programs take them, into DEST:
// - "index.html": every conversation (title, participants, count, last date), newest first, with
//   a search over every message's text that works from the file system, without a server;
// - one folder per conversation, named by its title (safe, unique): pages of HTML linked in
//   order, none too large for a browser, "conversation.txt" (a line per message), and
//   "attachments/" with the files, dated as recorded;
// - "KIND.json": the whole export for programs.
// Dates in pages and text are in this computer's time zone, shown with it. Everything from the
// phone is data: escaped in HTML, names kept inside their folder. The export replaces an earlier
// one only once complete (ExportFolder.h).
#include <cstddef>
#include <optional>
#include <string>

#include "catalog/model/Records.h"
#include "crypto/UnlockedKeybag.h"
#include "export/ExportSummary.h"
#include "recovery/Recovery.h"
#include "sources/messages/Conversation.h"

namespace salvora {

struct ConversationExportOptions {
    // "messages" or "whatsapp": the export folder's kind and the JSON file's name.
    std::string kind = "messages";
    std::optional<UnixMillis> since;  // only messages from then on
    std::optional<UnixMillis> until;  // only messages before then
    // Only conversations whose title or a participant's name or handle holds this text, in any
    // case; empty for all.
    std::string conversation;
    bool attachments = true;
    std::string me = "Me";  // the name the phone's owner is shown under
    bool portableNames = false;
    // The most messages one HTML page holds (a page also ends before it grows too large).
    std::size_t messagesPerPage = 2000;
};

// The backup the attachments' files are taken from.
struct AttachmentSource {
    const std::string& deviceDirectory;
    const ApplicationMap& applications;
    const UnlockedKeybag* keybag;
};

// `progress` is told as by a save, each conversation a step; answering false cancels the
// export, leaving any earlier one in place.
ExportSummary exportConversations(ConversationStore& store, const AttachmentSource& files,
                                  const std::string& destination,
                                  const ConversationExportOptions& options,
                                  const SaveProgress& progress = {});

}  // namespace salvora
