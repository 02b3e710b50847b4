#pragma once

// The parts of a message of iOS 3 and 4 (an MMS), kept in sms.db's `msg_pieces` beside the
// message: its words in the text parts ("text/plain", the bytes in `data`), its files in the
// others. The files lie in MediaDomain below "Library/SMS/Parts/", in folders no column names,
// each named by its message and part ("12-1.jpg") or by the name it came with (`content_loc`);
// a part whose file the backup lacks is an attachment not in this backup.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "sources/messages/Conversation.h"
#include "sqlite/Statement.h"

struct sqlite3;

namespace salvora {

inline constexpr std::string_view messagePartsFolder = "Library/SMS/Parts/";

// The relative paths of the MediaDomain files below messagePartsFolder the backup holds; asked
// only of a database that keeps parts.
using PartFiles = std::function<std::vector<std::string>()>;

class MessagePieces {
  public:
    // Absent when the database keeps no parts.
    static std::optional<MessagePieces> open(sqlite3* database, const PartFiles& partFiles);

    struct Parts {
        std::optional<std::string> text;  // the text parts, a line each; absent when none
        std::vector<MessageAttachment> attachments;
    };

    // The parts of the message with this ROWID; false in `whole` when they could not all be read.
    Parts of(std::int64_t message, bool& whole);

  private:
    MessagePieces(Statement rows, const std::vector<std::string>& partFiles);
    const std::string* fileOf(std::int64_t message, std::int64_t part,
                              const std::optional<std::string>& name) const;

    Statement rows_;
    // A file below the folder by its name, and by its name without extension.
    std::unordered_map<std::string, std::string> byName_, byStem_;
};

}  // namespace salvora
