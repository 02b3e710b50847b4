#include "catalog/ManifestDbReader.h"

#include <sqlite3.h>

#include <array>
#include <memory>
#include <optional>
#include <string_view>

#include "catalog/ArchivedFileInfo.h"
#include "catalog/ContainerFiler.h"
#include "catalog/Filing.h"
#include "foundation/BackupFileNames.h"
#include "foundation/FileQueries.h"
#include "foundation/Path.h"

namespace salvora {
namespace {

enum Column { FileIdColumn, DomainColumn, RelativePathColumn, FileColumn };

// A column's text; absent for NULL and for values of any other kind.
std::optional<std::string_view> textColumn(sqlite3_stmt* statement, int column) {
    if (sqlite3_column_type(statement, column) != SQLITE_TEXT) return std::nullopt;
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
    if (text == nullptr) return std::nullopt;
    return std::string_view(text,
                            static_cast<std::size_t>(sqlite3_column_bytes(statement, column)));
}

std::span<const std::byte> blobColumn(sqlite3_stmt* statement, int column) {
    if (sqlite3_column_type(statement, column) != SQLITE_BLOB) return {};
    const void* blob = sqlite3_column_blob(statement, column);
    return {static_cast<const std::byte*>(blob),
            static_cast<std::size_t>(sqlite3_column_bytes(statement, column))};
}

// The characters a fileID may hold: letters, digits, "-" and "_".
constexpr std::array<bool, 256> fileIdCharacters = [] {
    std::array<bool, 256> allowed{};
    for (unsigned char c = 0; c < 128; ++c)
        allowed[c] = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                     c == '-' || c == '_';
    return allowed;
}();

// The fileID names a stored file inside the backup only when it is at least two characters of
// letters, digits, "-" and "_": nothing in it can lead out of the folder. Looked up, not
// compared: a million hexadecimal names mix digits and letters at random, and branching on
// each character costs more than the rest of the row.
bool isSafeFileId(std::string_view fileId) {
    if (fileId.size() < 2) return false;
    bool safe = true;
    for (char c : fileId) safe &= fileIdCharacters[static_cast<unsigned char>(c)];
    return safe;
}

// Whether Files is an ordinary table without computed columns, so that reading it only reads
// what is stored. A view or a virtual table of that name, or a generated column, would run
// what the file says at every read: a view can recurse without end.
bool hasOrdinaryFilesTable(sqlite3* database) {
    sqlite3_stmt* handle = nullptr;
    sqlite3_prepare_v2(database,
                       "SELECT EXISTS (SELECT 1 FROM sqlite_schema WHERE type = 'table' AND "
                       "name = 'Files' COLLATE NOCASE AND sql LIKE 'CREATE TABLE %') AND "
                       "NOT EXISTS (SELECT 1 FROM pragma_table_xinfo('Files') WHERE hidden <> 0)",
                       -1, &handle, nullptr);
    Statement statement(handle);
    return statement && sqlite3_step(statement.get()) == SQLITE_ROW &&
           sqlite3_column_int(statement.get(), 0) == 1;
}

}  // namespace

void addManifestDbFiles(const SqliteDatabase& database, ApplicationMap& applications) {
    if (!hasOrdinaryFilesTable(database.handle())) return;
    sqlite3_stmt* handle = nullptr;
    sqlite3_prepare_v2(database.handle(),
                       "SELECT fileID, domain, relativePath, file FROM Files WHERE flags = 1 "
                       "ORDER BY rowid",
                       -1, &handle, nullptr);
    Statement statement(handle);
    if (!statement) return;

    ContainerFiler filer(applications);
    while (sqlite3_step(statement.get()) == SQLITE_ROW) {
        std::optional<std::string_view> fileId = textColumn(statement.get(), FileIdColumn);
        if (!fileId || !isSafeFileId(*fileId)) continue;
        FileRecord file;
        file.name.reserve(fileId->size() + 3);
        file.name.append(fileId->substr(0, 2)).append("/").append(*fileId);
        if (auto path = utf8Text(textColumn(statement.get(), RelativePathColumn))) {
            file.fullpath = std::string(*path);
        }
        file.oldVersion = false;
        ArchivedFileInfo info = readArchivedFileInfo(blobColumn(statement.get(), FileColumn));
        file.modificationTime = info.lastModified;
        file.size = info.size;
        file.encryptionKey = std::move(info.encryptionKey);
        filer.file(textColumn(statement.get(), DomainColumn), std::move(file));
    }
    filer.finish();
}

void addManifestDbFilesFromDirectory(const std::string& directory, ApplicationMap& applications) {
    const std::string path = appendingPathComponent(directory, ManifestDbName);
    // SQLite would wait forever opening a FIFO.
    if (!isRegularFile(path)) return;
    if (std::optional<SqliteDatabase> database = SqliteDatabase::openImmutable(path)) {
        addManifestDbFiles(*database, applications);
    }
}

}  // namespace salvora
