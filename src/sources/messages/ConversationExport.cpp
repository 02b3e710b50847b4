#include "sources/messages/ConversationExport.h"

#include "export/ExportFolder.h"
#include "export/StreamedFile.h"
#include "export/UniqueNames.h"
#include "sources/messages/ConversationAttachments.h"
#include "sources/messages/ConversationIndex.h"
#include "sources/messages/ConversationJson.h"
#include "sources/messages/ConversationPages.h"
#include "sources/messages/ConversationSelection.h"
#include "sources/messages/ConversationText.h"

namespace salvora {
namespace {

class ConversationExporter {
  public:
    ConversationExporter(ConversationStore& store, const AttachmentSource& files,
                         const ConversationExportOptions& options, const SaveProgress& progress,
                         ExportSummary& summary)
        : store_(store),
          options_(options),
          progress_(progress),
          summary_(summary),
          attachments_(files, options.portableNames) {}

    // Writes every wanted conversation below `staging`; false when cancelled or failed.
    bool run(const OpenFolder& staging) {
        const auto& outlines = store_.outlines();
        std::vector<std::size_t> wanted;
        for (std::size_t index = 0; index < outlines.size(); ++index)
            if (conversationWanted(outlines[index], options_)) wanted.push_back(index);
        status_.filesTotal = wanted.size();
        Status json = streamFile(staging, options_.kind + ".json", [&](StreamedOutput& output) {
            ConversationJson writer(output);
            for (std::size_t index : wanted) {
                if (Status done = exportOne(index, staging, writer); !done) return done;
                if (summary_.cancelled) return Status(Error{"Cancelled", {}, {}});
            }
            writer.finish();
            return Status();
        });
        if (summary_.cancelled) return false;
        if (!json) {
            summary_.error = json.error();
            return false;
        }
        if (Status index = writeIndexPage(std::move(entries_), staging, heading()); !index) {
            summary_.error = index.error();
            return false;
        }
        status_.current = {};
        if (progress_) progress_(status_);
        summary_.counts = {{entriesWritten_, "conversation", "conversations"},
                           {messages_, "message", "messages"},
                           {attachmentsCopied_, "attachment", "attachments"}};
        return true;
    }

  private:
    std::string heading() const {
        if (options_.kind == "whatsapp") return "WhatsApp chats";
        return "Messages";
    }

    // Writes one conversation; an error only for what stops the whole export (a folder that
    // can't be made); a conversation that can't be read is a warning.
    Status exportOne(std::size_t index, const OpenFolder& staging, ConversationJson& json) {
        const ConversationOutline& outline = store_.outlines()[index];
        const std::string title = shownTitle(outline);
        status_.current = title;
        if (progress_ && !progress_(status_)) {
            summary_.cancelled = true;
            return {};
        }
        ++status_.filesDone;
        Result<Conversation> read = store_.read(index);
        if (!read) {
            summary_.warnings.push_back("Could not read the conversation \"" + title +
                                        "\": " + read.error().reason);
            return {};
        }
        ExportedConversation conversation{&outline, {},
                                          messagesWanted(std::move(read->messages), options_),
                                          {}, options_.me};
        if (conversation.messages.empty()) return {};
        conversation.folder = folderNames_.nameFor(title, "Conversation");
        auto folder = openFolderIn(staging, conversation.folder, CreateMissing::Yes);
        if (!folder) return folder.error();
        if (options_.attachments)
            attachmentsCopied_ += attachments_.copy(conversation, *folder, summary_);
        else
            conversation.notSaved = "not exported";
        conversation.saved.resize(conversation.messages.size());
        for (std::size_t i = 0; i < conversation.messages.size(); ++i)
            conversation.saved[i].resize(conversation.messages[i].attachments.size());
        auto pages = writeConversationPages(conversation, *folder, options_.messagesPerPage);
        if (!pages) return pages.error();
        if (Status text = writeConversationText(conversation, *folder); !text) return text;
        if (Status search = writeSearchData(conversation, *pages, *folder); !search) return search;
        json.add(conversation);
        entries_.push_back(indexEntry(conversation));
        ++entriesWritten_;
        messages_ += conversation.messages.size();
        return {};
    }

    ConversationStore& store_;
    const ConversationExportOptions& options_;
    const SaveProgress& progress_;
    ExportSummary& summary_;
    ConversationAttachments attachments_;
    UniqueNames folderNames_;
    SaveStatus status_;
    std::vector<IndexEntry> entries_;
    std::size_t entriesWritten_ = 0;
    std::size_t messages_ = 0;
    std::size_t attachmentsCopied_ = 0;
};

}  // namespace

ExportSummary exportConversations(ConversationStore& store, const AttachmentSource& files,
                                  const std::string& destination,
                                  const ConversationExportOptions& options,
                                  const SaveProgress& progress) {
    ExportSummary summary;
    auto folder = ExportFolder::begin(destination, options.kind);
    if (!folder) {
        summary.error = folder.error();
        return summary;
    }
    ConversationExporter exporter(store, files, options, progress, summary);
    if (!exporter.run(folder->folder())) return summary;
    for (std::string& warning : store.warnings()) summary.warnings.push_back(std::move(warning));
    if (Status committed = folder->commit(); !committed) {
        summary.error = committed.error();
        return summary;
    }
    summary.firstPage = destination + "/" + std::string(indexPageName);
    return summary;
}

}  // namespace salvora
