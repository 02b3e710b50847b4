#include "sources/messages/ConversationExport.h"

#include "export/ExportFolder.h"
#include "export/StreamedFile.h"
#include "export/UniqueNames.h"
#include "foundation/ReadAhead.h"
#include "foundation/WriteBehind.h"
#include "sources/messages/ConversationAttachments.h"
#include "sources/messages/ConversationIndex.h"
#include "sources/messages/ConversationJson.h"
#include "sources/messages/ConversationPages.h"
#include "sources/messages/ConversationSelection.h"
#include "sources/messages/ConversationText.h"

namespace salvora {
namespace {

// A conversation on its way into the export: what was read, what is written of it, and its
// folder, kept together until the last of its files is written.
struct PendingConversation {
    Conversation read;
    ExportedConversation conversation;
    std::optional<OpenFolder> folder;
};

class ConversationExporter {
  public:
    ConversationExporter(ConversationStore& store, const AttachmentSource& files,
                         const ConversationExportOptions& options, const SaveProgress& progress,
                         ExportSummary& summary)
        : store_(store),
          options_(options),
          progress_(progress),
          summary_(summary),
          attachments_(files, options.portableNames) {
        // No conversation's folder takes a name the export's own files and folders have.
        for (std::string_view own : {indexPageName, searchFolderName})
            folderNames_.nameFor(own, own);
        folderNames_.nameFor(options.kind + ".json", options.kind);
    }

    // Writes every wanted conversation below `staging`; false when cancelled or failed.
    bool run(const OpenFolder& staging) {
        SearchData search(staging);
        // The store is read on a thread of its own from here on: what the writing needs of the
        // outlines is taken first.
        const auto& outlines = store_.outlines();
        std::vector<std::size_t> wanted;
        std::vector<std::string> titles;
        for (std::size_t index = 0; index < outlines.size(); ++index) {
            if (!conversationWanted(outlines[index], options_)) continue;
            wanted.push_back(index);
            titles.push_back(shownTitle(outlines[index]));
        }
        status_.filesTotal = wanted.size();
        ReadAhead<Result<Conversation>> reads(
            wanted.size(), [&](std::size_t i) { return store_.read(wanted[i]); });
        Status json = streamFile(staging, options_.kind + ".json", [&](StreamedOutput& output) {
            ConversationJson writer(output);
            // Each conversation's pages, text and search data are written on a thread of their
            // own while the JSON of it and the reading of the next go on. One waits at most:
            // a conversation can be a million messages, and the reading holds two more.
            WriteBehind pages(1);
            for (const std::string& title : titles) {
                if (Status done = exportOne(title, reads, staging, writer, search, pages); !done)
                    return done;
                if (summary_.cancelled) return Status(Error{"Cancelled", {}, {}});
            }
            if (Status written = pages.finish(); !written) return written;
            writer.finish();
            return Status();
        });
        if (summary_.cancelled) return false;
        if (!json) {
            summary_.error = json.error();
            return false;
        }
        auto searchParts = search.finish();
        if (!searchParts) {
            summary_.error = searchParts.error();
            return false;
        }
        if (Status index = writeIndexPage(std::move(entries_), *searchParts, staging, heading());
            !index) {
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

    // Writes the next conversation; an error only for what stops the whole export (a folder
    // that can't be made); a conversation that can't be read is a warning.
    Status exportOne(const std::string& title, ReadAhead<Result<Conversation>>& reads,
                     const OpenFolder& staging, ConversationJson& json, SearchData& search,
                     WriteBehind& pages) {
        status_.current = title;
        if (progress_ && !progress_(status_)) {
            summary_.cancelled = true;
            return {};
        }
        ++status_.filesDone;
        Result<Conversation> read = std::move(*reads.next());
        if (!read) {
            summary_.warnings.push_back("Could not read the conversation \"" + title +
                                        "\": " + read.error().reason);
            return {};
        }
        // Where the outline lies stays put from here on: the conversation points at it.
        auto pending = std::make_shared<PendingConversation>();
        pending->read = std::move(*read);
        ExportedConversation& conversation = pending->conversation;
        conversation.outline = &pending->read.outline;
        conversation.messages = messagesWanted(std::move(pending->read.messages), options_);
        conversation.me = options_.me;
        if (conversation.messages.empty()) return {};
        dateMessages(conversation);
        conversation.folder = folderNames_.nameFor(title, "Conversation");
        auto folder = openFolderIn(staging, conversation.folder, CreateMissing::Yes);
        if (!folder) return folder.error();
        pending->folder = std::move(*folder);
        if (options_.attachments)
            attachmentsCopied_ += attachments_.copy(conversation, *pending->folder, summary_);
        else
            conversation.notSaved = "not exported";
        conversation.saved.resize(conversation.messages.size());
        for (std::size_t i = 0; i < conversation.messages.size(); ++i)
            conversation.saved[i].resize(conversation.messages[i].attachments.size());
        // Nothing changes the conversation once it is handed over: both threads only read it.
        const bool handed = pages.add([this, pending, &search]() -> Status {
            const ExportedConversation& written = pending->conversation;
            auto pageOf =
                writeConversationPages(written, *pending->folder, options_.messagesPerPage);
            if (!pageOf) return pageOf.error();
            if (Status text = writeConversationText(written, *pending->folder); !text) return text;
            return search.add(written, *pageOf);
        });
        if (!handed) return pages.finish();
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
