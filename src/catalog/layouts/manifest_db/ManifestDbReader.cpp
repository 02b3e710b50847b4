#include "catalog/layouts/manifest_db/ManifestDbReader.h"

#include <sqlite3.h>

#include <array>
#include <memory>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "catalog/layouts/manifest_db/FileIdNames.h"
#include "catalog/layouts/manifest_db/ManifestDbDetails.h"
#include "catalog/layouts/manifest_db/ManifestDbItems.h"
#include "catalog/layouts/manifest_db/ManifestDbPages.h"
#include "catalog/naming/ContainerFiler.h"
#include "foundation/BackupFileNames.h"
#include "foundation/BothCores.h"
#include "foundation/FileQueries.h"
#include "foundation/Path.h"
#include "foundation/Utf8Text.h"
#include "sqlite/SchemaProbes.h"
#include "sqlite/Statement.h"

namespace salvora {
namespace {

// The columns every scan reads; the last is the "file" blob or the rowid.
enum Column { FileIdColumn, DomainColumn, RelativePathColumn, FlagsColumn, DetailsColumn };

// Whether "rowid" names the rows' own numbers rather than a column of that name, so that a row
// found now can be found again by it.
bool hasOwnRowids(sqlite3* database) {
    auto statement =
        prepare(database,
                "SELECT NOT EXISTS (SELECT 1 FROM pragma_table_xinfo('Files') WHERE name = 'rowid' "
                "COLLATE NOCASE)");
    return statement && sqlite3_step(statement->get()) == SQLITE_ROW &&
           sqlite3_column_int(statement->get(), 0) == 1;
}

// The rows' numbers from first to last, when they are numbers. Each bound is a query of its
// own: SQLite finds a lone min() or max() of the rowid at one end of the table, but both in one
// query scan every row.
std::optional<std::pair<std::int64_t, std::int64_t>> rowidRange(sqlite3* database) {
    auto statement =
        prepare(database, "SELECT (SELECT min(rowid) FROM Files), (SELECT max(rowid) FROM Files)");
    if (!statement || sqlite3_step(statement->get()) != SQLITE_ROW ||
        sqlite3_column_type(statement->get(), 0) != SQLITE_INTEGER ||
        sqlite3_column_type(statement->get(), 1) != SQLITE_INTEGER)
        return std::nullopt;
    const std::pair range{sqlite3_column_int64(statement->get(), 0),
                          sqlite3_column_int64(statement->get(), 1)};
    // The ends of a damaged table's tree can disagree.
    if (range.first > range.second) return std::nullopt;
    return range;
}

// Below this many rows a second connection costs more than it saves.
constexpr std::uint64_t rowsWorthSplitting = 20'000;

// What every scan reads: the details the rows' blobs give too, or only their row numbers.
struct DetailsReading {
    // Null: the details are read later, by rowid, from `byRowid`.
    FileDetailsList* list = nullptr;
    const ManifestDbDetails* byRowid = nullptr;

    const FileDetailsSource* source() const {
        return list != nullptr ? static_cast<const FileDetailsSource*>(list) : byRowid;
    }
};

// Reads the regular files of the rows in [range] (all rows when absent), in rowid order.
void scanRows(sqlite3* database, std::optional<std::pair<std::int64_t, std::int64_t>> range,
              const DetailsReading& details, ContainerFiler& part) {
    // A folder's or a link's blob is never read, so that damage in it loses no file.
    constexpr const char* fileBlob =
        "CASE WHEN typeof(flags) IN ('integer', 'real') AND flags IN (2, 4) THEN NULL "
        "ELSE file END";
    const std::string sql = std::string("SELECT fileID, domain, relativePath, flags, ") +
                            (details.list != nullptr ? fileBlob : "rowid") + " FROM Files" +
                            (range ? " WHERE rowid BETWEEN ?1 AND ?2" : "") + " ORDER BY rowid";
    auto statement = prepare(database, sql);
    if (!statement) return;
    // The scan reads each page once: a small cache holds the few interior pages it goes back to.
    sqlite3_exec(database, "PRAGMA cache_size = -256", nullptr, nullptr, nullptr);
    if (range) {
        sqlite3_bind_int64(statement->get(), 1, range->first);
        sqlite3_bind_int64(statement->get(), 2, range->second);
    }
    FileIdNames names;
    while (sqlite3_step(statement->get()) == SQLITE_ROW) {
        const ManifestDbItem flagged = itemOfFlags(realColumn(statement->get(), FlagsColumn));
        if (!mayBeRegularFile(flagged)) continue;
        std::optional<StoredName> storedName =
            names.nameOf(textColumn(statement->get(), FileIdColumn));
        if (!storedName) continue;
        // Flags that say nothing leave it to the blob's Mode.
        const bool byMode = flagged == ManifestDbItem::Unknown;
        std::int64_t detailsKey = 0;
        if (details.list != nullptr) {
            ArchivedFileInfo info =
                readArchivedFileInfo(blobColumn(statement->get(), DetailsColumn));
            if (byMode && itemOfMode(info.mode) != ManifestDbItem::RegularFile) continue;
            detailsKey = details.list->add(fileDetailsOf(std::move(info)));
        } else {
            detailsKey = sqlite3_column_int64(statement->get(), DetailsColumn);
            if (byMode && details.byRowid->itemOfRow(detailsKey) != ManifestDbItem::RegularFile)
                continue;
        }
        part.file(textColumn(statement->get(), DomainColumn), *storedName,
                  utf8Text(textColumn(statement->get(), RelativePathColumn)), details.source(),
                  detailsKey);
    }
}

// Whether the database holds a table Files to read, or why not.
Status readableFiles(sqlite3* database, const std::string& path) {
    if (Status schema = readableSchema(database); !schema)
        return Error{"Could not read", path, schema.error().reason};
    if (!isOrdinaryTable(database, "Files"))
        return Error{"Could not read", path, "it has no table Files"};
    return {};
}

}  // namespace

Status addManifestDbFiles(const SqliteDatabase& database, ApplicationMap& applications) {
    if (Status files = readableFiles(database.handle(), std::string(ManifestDbName)); !files)
        return files;
    auto storage = std::make_shared<RecordStorage>();
    auto list = std::make_unique<FileDetailsList>();
    const DetailsReading details{list.get()};
    storage->details = std::move(list);
    ContainerFiler filer;
    scanRows(database.handle(), std::nullopt, details, filer);
    fileContainers({&filer, 1}, storage, applications);
    return {};
}

namespace {

Result<ManifestDbReading> readFromDirectory(const std::string& directory,
                                            ApplicationMap& applications, bool pagesFirst) {
    const std::string path = appendingPathComponent(directory, ManifestDbName);
    // SQLite would wait forever opening a FIFO.
    if (!isRegularFile(path)) return Error{"Could not read", path, "it is not a regular file"};
    Result<SqliteDatabase> database = SqliteDatabase::openImmutable(path);
    if (!database) return database.error();
    if (Status files = readableFiles(database->handle(), path); !files) return files.error();
    // Without rowids of its own a row can't be found again: its details are read now.
    if (!hasOwnRowids(database->handle())) {
        if (Status read = addManifestDbFiles(*database, applications); !read) return read.error();
        return ManifestDbReading::Sqlite;
    }

    auto storage = std::make_shared<RecordStorage>();
    auto byRowid = std::make_unique<ManifestDbDetails>(path);
    const DetailsReading details{nullptr, byRowid.get()};
    storage->details = std::move(byRowid);
    std::array<ContainerFiler, 2> parts;
    if (pagesFirst && readManifestDbPages(database->handle(), path, *details.byRowid, parts)) {
        fileContainers(parts, storage, applications);
        return ManifestDbReading::Pages;
    }
    // What its pages don't give in the usual way, SQLite does.
    parts = {};
    const auto range = rowidRange(database->handle());
    const std::uint64_t span =
        range ? static_cast<std::uint64_t>(range->second) - static_cast<std::uint64_t>(range->first)
              : 0;
    // Both halves at once, each on its own connection: the table's pages are read and decoded
    // on both cores.
    const auto middle =
        range ? static_cast<std::int64_t>(static_cast<std::uint64_t>(range->first) + span / 2) : 0;
    readInHalves(
        span, rowsWorthSplitting, *database, [&] { return SqliteDatabase::openImmutable(path); },
        [&](SqliteDatabase& reader, ReadHalf part) {
            using Rowids = std::optional<std::pair<std::int64_t, std::int64_t>>;
            const Rowids rowids = part == ReadHalf::Whole   ? std::nullopt
                                  : part == ReadHalf::First ? Rowids{{range->first, middle}}
                                                            : Rowids{{middle + 1, range->second}};
            scanRows(reader.handle(), rowids, details, parts[part == ReadHalf::Second]);
            return true;
        });
    fileContainers(parts, storage, applications);
    return ManifestDbReading::Sqlite;
}

}  // namespace

Result<ManifestDbReading> addManifestDbFilesFromDirectory(const std::string& directory,
                                                          ApplicationMap& applications) {
    return readFromDirectory(directory, applications, true);
}

void addManifestDbFilesWithSqlite(const std::string& directory, ApplicationMap& applications) {
    // What SQLite alone can't read adds nothing, which is what the pages are held to.
    static_cast<void>(readFromDirectory(directory, applications, false));
}

}  // namespace salvora
