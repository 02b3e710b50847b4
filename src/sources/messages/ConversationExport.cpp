#include "sources/messages/ConversationExport.h"

namespace salvora {

ExportSummary exportConversations(ConversationStore&, const AttachmentSource&,
                                  const std::string& destination,
                                  const ConversationExportOptions&, const SaveProgress&) {
    ExportSummary summary;
    summary.error = Error{"Could not export into", destination, "not built yet"};
    return summary;
}

}  // namespace salvora
