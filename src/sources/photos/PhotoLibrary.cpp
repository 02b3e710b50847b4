#include "sources/photos/PhotoLibrary.h"

#include <sqlite3.h>

#include <string_view>

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

// The reason reading stopped, or nothing when every row was read.
std::optional<std::string> stepFailure(sqlite3* database, int status) {
    if (status == SQLITE_DONE) return std::nullopt;
    return std::string("is damaged (") + sqlite3_errmsg(database) + ")";
}

// The asset table of the database's generation, in `table` with its columns; else why not.
std::optional<std::string> findAssetTable(sqlite3* database, std::string& table,
                                          ColumnNames& columns) {
    // A file that isn't a database at all fails here, rather than seeming to lack the table.
    auto schema = prepare(database, "SELECT count(*) FROM sqlite_schema");
    if (!schema || sqlite3_step(schema->get()) != SQLITE_ROW)
        return stepFailure(database, SQLITE_ERROR);
    table = "ZASSET";
    columns = columnsOf(database, table);
    if (columns.empty()) columns = columnsOf(database, table = "ZGENERICASSET");
    if (!hasColumns(columns, {"Z_PK", "ZDIRECTORY", "ZFILENAME", "ZDATECREATED", "ZKIND"}))
        return "has no asset table this version knows";
    return std::nullopt;
}

// The assets with their original file names; a row that names no file is left out.
std::optional<std::string> readAssets(sqlite3* database, PhotoLibrary& library) {
    std::string table;
    ColumnNames columns;
    if (auto problem = findAssetTable(database, table, columns)) return problem;
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
std::optional<std::string> readAlbums(sqlite3* database, PhotoLibrary& library) {
    if (!hasTableWithColumns(database, "ZGENERICALBUM", {"Z_PK", "ZTITLE", "ZKIND"}))
        return std::nullopt;
    auto join = findJoinTable(database, "ALBUMS", "ASSETS");
    if (!join) return std::nullopt;
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

std::optional<PhotoLibrary> readPhotoLibrary(const SqliteDatabase& database, std::string& problem) {
    PhotoLibrary library;
    auto failure = readAssets(database.handle(), library);
    if (!failure) failure = readAlbums(database.handle(), library);
    if (failure) {
        problem = *failure;
        return std::nullopt;
    }
    return library;
}

std::optional<LibraryCounts> countLibraryAssets(sqlite3* database, std::string& problem) {
    std::string table;
    ColumnNames columns;
    if (auto failure = findAssetTable(database, table, columns)) {
        problem = *failure;
        return std::nullopt;
    }
    // The rows an export takes by default: those that name a file, neither hidden nor deleted.
    std::string sql = "SELECT ZKIND = 1, count(*) FROM " + quotedName(table) +
                      " WHERE ZDIRECTORY IS NOT NULL AND ZFILENAME IS NOT NULL";
    if (columns.contains("ZHIDDEN")) sql += " AND NOT ifnull(ZHIDDEN, 0)";
    if (columns.contains("ZTRASHEDSTATE")) sql += " AND NOT ifnull(ZTRASHEDSTATE, 0)";
    auto rows = prepare(database, sql + " GROUP BY 1");
    if (!rows) {
        problem = *stepFailure(database, SQLITE_ERROR);
        return std::nullopt;
    }
    LibraryCounts counts;
    int status = SQLITE_ROW;
    while ((status = sqlite3_step(rows->get())) == SQLITE_ROW) {
        const auto count = static_cast<std::size_t>(sqlite3_column_int64(rows->get(), 1));
        (sqlite3_column_int64(rows->get(), 0) != 0 ? counts.videos : counts.photos) += count;
    }
    if (auto failure = stepFailure(database, status)) {
        problem = *failure;
        return std::nullopt;
    }
    return counts;
}

}  // namespace salvora
