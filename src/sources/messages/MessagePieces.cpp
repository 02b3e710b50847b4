#include "sources/messages/MessagePieces.h"

#include <sqlite3.h>

#include "foundation/Path.h"
#include "foundation/Utf8Text.h"
#include "sqlite/SchemaProbes.h"

namespace salvora {
namespace {

std::optional<std::string> text(sqlite3_stmt* statement, int column) {
    auto valid = utf8Text(textColumn(statement, column));
    if (!valid || valid->empty()) return std::nullopt;
    return std::string(*valid);
}

// A text part's words: `data` is a blob of UTF-8, or text where a tool rewrote it.
std::optional<std::string> words(sqlite3_stmt* statement, int column) {
    if (sqlite3_column_type(statement, column) != SQLITE_BLOB) return text(statement, column);
    const std::span<const std::byte> bytes = blobColumn(statement, column);
    auto valid = utf8Text(
        std::optional(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())));
    if (!valid || valid->empty()) return std::nullopt;
    return std::string(*valid);
}

}  // namespace

std::optional<MessagePieces> MessagePieces::open(sqlite3* database, const PartFiles& partFiles) {
    const ColumnNames columns = columnsOf(database, "msg_pieces");
    if (!hasColumns(columns, {"message_id"})) return std::nullopt;
    auto column = [&](std::string_view name) {
        return columns.contains(name) ? "p." + quotedName(name) : std::string("NULL");
    };
    auto rows = prepare(database, "SELECT " + column("part_id") + ", " + column("content_type") +
                                      ", " + column("content_loc") + ", " + column("data") +
                                      " FROM msg_pieces p WHERE p.message_id = ? ORDER BY " +
                                      column("part_id") + ", p.ROWID");
    if (!rows) return std::nullopt;
    return MessagePieces(std::move(*rows), partFiles ? partFiles() : std::vector<std::string>{});
}

MessagePieces::MessagePieces(Statement rows, const std::vector<std::string>& partFiles)
    : rows_(std::move(rows)) {
    for (const std::string& path : partFiles) {
        const std::string name = lastPathComponent(path);
        byName_.try_emplace(name, path);
        byStem_.try_emplace(deletingPathExtension(name), path);
    }
}

const std::string* MessagePieces::fileOf(std::int64_t message, std::int64_t part,
                                         const std::optional<std::string>& name) const {
    if (auto found = byStem_.find(std::to_string(message) + "-" + std::to_string(part));
        found != byStem_.end())
        return &found->second;
    if (name)
        if (auto found = byName_.find(lastPathComponent(*name)); found != byName_.end())
            return &found->second;
    return nullptr;
}

MessagePieces::Parts MessagePieces::of(std::int64_t message, bool& whole) {
    Parts parts;
    sqlite3_stmt* rows = rows_.get();
    sqlite3_reset(rows);
    sqlite3_bind_int64(rows, 1, message);
    int status;
    while ((status = sqlite3_step(rows)) == SQLITE_ROW) {
        const std::int64_t part = sqlite3_column_int64(rows, 0);
        const std::string type = text(rows, 1).value_or("");
        const std::optional<std::string> name = text(rows, 2);
        if (type == "text/plain") {
            if (auto said = words(rows, 3))
                parts.text = parts.text ? *parts.text + "\n" + *said : *said;
            continue;
        }
        // The layout of the parts on the sender's screen, no file of the message.
        if (type == "application/smil") continue;
        MessageAttachment attachment;
        attachment.name = name.value_or(std::to_string(message) + "-" + std::to_string(part));
        attachment.mimeType = type;
        if (const std::string* path = fileOf(message, part, name)) {
            attachment.domain = "MediaDomain";
            attachment.relativePath = *path;
        }
        parts.attachments.push_back(std::move(attachment));
    }
    if (status != SQLITE_DONE) whole = false;
    return parts;
}

}  // namespace salvora
