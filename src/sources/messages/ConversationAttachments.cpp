#include "sources/messages/ConversationAttachments.h"

#include "export/BrowserImage.h"
#include "foundation/Path.h"
#include "recovery/SavedFile.h"

namespace salvora {
namespace {

constexpr std::string_view attachmentsFolder = "attachments";

std::optional<std::int64_t> secondsOf(std::optional<UnixMillis> date) {
    if (!date) return std::nullopt;
    return *date / 1000;
}

}  // namespace

ConversationAttachments::ConversationAttachments(const AttachmentSource& source, bool portableNames)
    : backupFolders_(source.deviceDirectory, CreateMissing::No),
      index_(source.applications),
      keybag_(source.keybag),
      names_(portableNames) {}

std::size_t ConversationAttachments::copy(ExportedConversation& conversation,
                                          const OpenFolder& conversationFolder,
                                          ExportSummary& summary) {
    std::size_t copied = 0;
    std::optional<OpenFolder> folder;
    ErrorSlot folderError;
    conversation.saved.assign(conversation.messages.size(), {});
    for (std::size_t index = 0; index < conversation.messages.size(); ++index) {
        const Message& message = conversation.messages[index];
        auto& saved = conversation.saved[index];
        for (const MessageAttachment& attachment : message.attachments) {
            if (!folder && !folderError) {
                auto made = openFolderIn(conversationFolder, attachmentsFolder, CreateMissing::Yes);
                if (made)
                    folder = std::move(*made);
                else
                    folderError = made.error();
            }
            if (!folder) {
                summary.failures.push_back(
                    {appendingPathComponent(conversation.folder, attachmentName(attachment)),
                     folderError});
                saved.emplace_back();
                continue;
            }
            saved.push_back(copyOne(attachment, conversation, *folder, summary));
            if (saved.back()) ++copied;
        }
    }
    return copied;
}

std::optional<SavedAttachment> ConversationAttachments::copyOne(
    const MessageAttachment& attachment, const ExportedConversation& conversation,
    const OpenFolder& folder, ExportSummary& summary) {
    const std::string name = attachmentName(attachment);
    const std::string shown = conversation.folder + "/" + name;
    std::optional<FileRecord> record;
    if (!attachment.relativePath.empty())
        record = index_.find(attachment.domain, attachment.relativePath);
    if (!record) {
        summary.notInBackup.push_back(shown);
        return std::nullopt;
    }
    const std::string first = names_.firstChoice(folder, name);
    auto saved = produceSavedFile(backupFolders_, *record, folder, first, keybag_, nullptr,
                                  secondsOf(attachment.date), &names_);
    if (!saved) {
        // A record whose stored file is gone from the backup folder is as good as not there.
        if (saved.error().kind == ErrorKind::NotInBackup) {
            summary.notInBackup.push_back(shown);
            return std::nullopt;
        }
        summary.failures.push_back({folder.pathOf(first), saved.error()});
        return std::nullopt;
    }
    // " (2)" for a second file of one name is no renaming; a name the drive refused is.
    if (*saved != first)
        summary.renamed.push_back({folder.pathOf(first), {}, {}, folder.pathOf(*saved)});
    SavedAttachment kept{*saved, std::nullopt};
    // A HEIC that doesn't decode is still there, linked: no JPEG is no failure.
    if (isHeifImage(attachment.mimeType, kept.name))
        if (auto jpeg = makeJpegBeside(folder, kept.name, secondsOf(attachment.date)))
            kept.browserImage = std::move(*jpeg);
    return kept;
}

}  // namespace salvora
