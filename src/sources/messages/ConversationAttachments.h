#pragma once

// The files that came with a conversation's messages, copied from the backup into the
// conversation's "attachments/" folder: dated as recorded, under the names their senders gave
// them (kept inside the folder, two of one name told apart). A file the backup lacks is named
// as not in this backup, which is no failure.
#include <optional>
#include <string>

#include "catalog/StoredFileLookup.h"
#include "export/ExportSummary.h"
#include "foundation/OpenFolder.h"
#include "recovery/DestinationNames.h"
#include "recovery/HeldFolders.h"
#include "sources/messages/ConversationExport.h"
#include "sources/messages/ExportedConversation.h"

namespace salvora {

class ConversationAttachments {
  public:
    ConversationAttachments(const AttachmentSource& source, bool portableNames);

    // Copies every attachment of the conversation below `conversationFolder` and fills its
    // `saved` names; what is missing or fails goes to the summary. The number copied.
    std::size_t copy(ExportedConversation& conversation, const OpenFolder& conversationFolder,
                     ExportSummary& summary);

  private:
    std::optional<SavedAttachment> copyOne(const MessageAttachment& attachment,
                                           const ExportedConversation& conversation,
                                           const OpenFolder& folder, ExportSummary& summary);

    HeldFolders backupFolders_;
    StoredFileIndex index_;
    const UnlockedKeybag* keybag_;
    DestinationNames names_;
};

}  // namespace salvora
