#pragma once

// What the preview pane shows of a file's start: an image Qt decodes, text, a property list as
// XML text, the conversations of Messages' or WhatsApp's database, a database's tables with
// their row counts (the people of the address book, the calls of the call history and the
// events of the calendars instead of theirs), or else the size and the first bytes in
// hexadecimal.
#include <QImage>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "catalog/model/Records.h"
#include "crypto/UnlockedKeybag.h"
#include "foundation/Error.h"
#include "recovery/FileStart.h"
#include "sources/messages/Conversation.h"
#include "sqlite/TableSizes.h"

namespace salvora {

// How much of a file a preview reads: enough for photos and most databases. A database of a
// plain backup is read where it lies, whatever its size.
inline constexpr std::size_t PreviewLimit = std::size_t{16} << 20;

struct Preview {
    enum class Kind { Image, Text, Conversations, Tables, Bytes };
    Kind kind = Kind::Bytes;
    QString summary;  // what it is and its size
    QImage image;
    QString text;  // the text, the property list, or the hex view
    std::vector<SqliteTableSize> tables;
    std::vector<ConversationOutline> conversations;  // newest first, at most a screenful or two
};

// `size`: the recorded size where the catalogue has one. A database's tables come from
// readPreview, which opens it as SQLite sees it.
Preview previewOf(FileStart start, std::optional<std::uint64_t> size);

// The file a preview reads, and what keeps it readable off the event thread: its record shares
// the ownership of its application, whatever the window chooses meanwhile.
struct PreviewSource {
    std::string deviceDirectory;
    std::shared_ptr<const FileRecord> file;
    std::shared_ptr<const FileRecord> wal;         // the database's "-wal", when there is one
    std::shared_ptr<const UnlockedKeybag> keybag;  // null for a plain backup
    // The device's catalogue, whose address book names the people of a conversations preview;
    // null when there is none to look in.
    std::shared_ptr<const ApplicationMap> applications;
};

// Reads the file's start as a save reads it and makes its preview, with a database's "-wal"
// applied: Messages' "Library/SMS/sms.db" and WhatsApp's "ChatStorage.sqlite" as their
// conversations, read by their exports' readers; or why the file can't be read.
Result<Preview> readPreview(const PreviewSource& source);

}  // namespace salvora
