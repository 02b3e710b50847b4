#include "sources/photos/PhotoLibrary.h"

#include <sqlite3.h>

#include <string_view>
#include <utility>

#include "foundation/Utf8Text.h"
#include "sqlite/ReferenceDate.h"
#include "sqlite/SchemaProbes.h"
#include "sqlite/Statement.h"

namespace salvora {
namespace {

// Text as the library keeps it: valid UTF-8 only.
std::optional<std::string> text(sqlite3_stmt* statement, int column) {
    auto valid = utf8Text(textColumn(statement, column));
    if (!valid) return std::nullopt;
    return std::string(*valid);
}

Error libraryError(std::string reason) {
    return Error{"Could not read", std::string(PhotoLibraryName), std::move(reason)};
}

// Why reading stopped, unless every row was read.
Status stepFailure(sqlite3* database, int status) {
    if (status == SQLITE_DONE) return {};
    return libraryError(std::string("is damaged (") + sqlite3_errmsg(database) + ")");
}

// The asset table of the database's generation, in `table` with its columns; else why not.
Status findAssetTable(sqlite3* database, std::string& table, ColumnNames& columns) {
    if (Status schema = readableSchema(database); !schema)
        return libraryError("is damaged (" + schema.error().reason + ")");
    table = "ZASSET";
    columns = columnsOf(database, table);
    if (columns.empty()) columns = columnsOf(database, table = "ZGENERICASSET");
    if (!hasColumns(columns, {"Z_PK", "ZDIRECTORY", "ZFILENAME", "ZDATECREATED", "ZKIND"}))
        return libraryError("has no asset table this version knows");
    return {};
}

// The assets with their original file names; a row that names no file is left out.
Status readAssets(sqlite3* database, PhotoLibrary& library) {
    std::string table;
    ColumnNames columns;
    if (Status found = findAssetTable(database, table, columns); !found) return found;
    std::string sql = "SELECT a.Z_PK, a.ZDIRECTORY, a.ZFILENAME, a.ZDATECREATED, a.ZKIND, ";
    sql += columns.contains("ZHIDDEN") ? "a.ZHIDDEN, " : "0, ";
    sql += columns.contains("ZTRASHEDSTATE") ? "a.ZTRASHEDSTATE, " : "0, ";
    const bool originalNames = hasTableWithColumns(database, "ZADDITIONALASSETATTRIBUTES",
                                                   {"ZASSET", "ZORIGINALFILENAME"});
    sql += originalNames ? "x.name FROM " : "NULL FROM ";
    sql += quotedName(table) + " a ";
    if (originalNames)
        sql +=
            "LEFT JOIN (SELECT ZASSET, MIN(ZORIGINALFILENAME) AS name FROM "
            "ZADDITIONALASSETATTRIBUTES GROUP BY ZASSET) x ON x.ZASSET = a.Z_PK ";
    sql += "ORDER BY a.Z_PK";
    auto rows = prepare(database, sql);
    if (!rows) return stepFailure(database, SQLITE_ERROR);
    int status = SQLITE_ROW;
    while ((status = sqlite3_step(rows->get())) == SQLITE_ROW) {
        sqlite3_stmt* row = rows->get();
        auto id = integerColumn(row, 0);
        auto directory = text(row, 1);
        auto fileName = text(row, 2);
        if (!id || !directory || !fileName) continue;
        LibraryAsset asset;
        asset.id = *id;
        asset.directory = std::move(*directory);
        asset.fileName = std::move(*fileName);
        if (auto created = realColumn(row, 3))
            asset.created = unixSecondsFromReferenceSeconds(*created);
        asset.kind = sqlite3_column_int64(row, 4) == 1 ? MediaKind::Video : MediaKind::Photo;
        asset.hidden = sqlite3_column_int64(row, 5) != 0;
        asset.trashed = sqlite3_column_int64(row, 6) != 0;
        asset.originalFileName = text(row, 7);
        library.assets.push_back(std::move(asset));
    }
    return stepFailure(database, status);
}

// User albums with their members; a library without albums has none.
Status readAlbums(sqlite3* database, PhotoLibrary& library) {
    if (!hasTableWithColumns(database, "ZGENERICALBUM", {"Z_PK", "ZTITLE", "ZKIND"})) return {};
    auto join = findJoinTable(database, "ALBUMS", "ASSETS");
    if (!join) return {};
    auto rows = prepare(database, "SELECT al.Z_PK, al.ZTITLE, j." + quotedName(join->secondColumn) +
                                      " FROM ZGENERICALBUM al JOIN " + quotedName(join->table) +
                                      " j ON j." + quotedName(join->firstColumn) +
                                      " = al.Z_PK WHERE al.ZKIND = 2 ORDER BY al.Z_PK");
    if (!rows) return stepFailure(database, SQLITE_ERROR);
    std::optional<std::int64_t> lastAlbum;
    int status = SQLITE_ROW;
    while ((status = sqlite3_step(rows->get())) == SQLITE_ROW) {
        sqlite3_stmt* row = rows->get();
        auto asset = integerColumn(row, 2);
        if (!asset) continue;
        const std::int64_t album = sqlite3_column_int64(row, 0);
        if (album != lastAlbum) {
            library.albums.push_back({text(row, 1).value_or(""), {}});
            lastAlbum = album;
        }
        library.albums.back().assets.push_back(*asset);
    }
    return stepFailure(database, status);
}

}  // namespace

Result<PhotoLibrary> readPhotoLibrary(const SqliteDatabase& database) {
    PhotoLibrary library;
    Status read = readAssets(database.handle(), library);
    if (read) read = readAlbums(database.handle(), library);
    if (!read) return read.error();
    return library;
}

Result<LibraryCounts> countLibraryAssets(sqlite3* database) {
    std::string table;
    ColumnNames columns;
    if (Status found = findAssetTable(database, table, columns); !found) return found.error();
    // The rows an export takes by default: those that name a file, neither hidden nor deleted.
    std::string sql = "SELECT ZKIND = 1, count(*) FROM " + quotedName(table) +
                      " WHERE ZDIRECTORY IS NOT NULL AND ZFILENAME IS NOT NULL";
    if (columns.contains("ZHIDDEN")) sql += " AND NOT ifnull(ZHIDDEN, 0)";
    if (columns.contains("ZTRASHEDSTATE")) sql += " AND NOT ifnull(ZTRASHEDSTATE, 0)";
    auto rows = prepare(database, sql + " GROUP BY 1");
    if (!rows) return stepFailure(database, SQLITE_ERROR).error();
    LibraryCounts counts;
    int status = SQLITE_ROW;
    while ((status = sqlite3_step(rows->get())) == SQLITE_ROW) {
        const auto count = static_cast<std::size_t>(sqlite3_column_int64(rows->get(), 1));
        (sqlite3_column_int64(rows->get(), 0) != 0 ? counts.videos : counts.photos) += count;
    }
    if (Status stepped = stepFailure(database, status); !stepped) return stepped.error();
    return counts;
}

}  // namespace salvora
