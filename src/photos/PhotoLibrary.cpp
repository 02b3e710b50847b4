#include "photos/PhotoLibrary.h"

#include <sqlite3.h>

#include <cmath>
#include <memory>
#include <set>
#include <string_view>

#include "catalog/Filing.h"

namespace salvora {
namespace {

struct StatementFinalizer {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

Statement prepare(sqlite3* database, const std::string& sql) {
    sqlite3_stmt* handle = nullptr;
    sqlite3_prepare_v2(database, sql.c_str(), -1, &handle, nullptr);
    return Statement(handle);
}

// An identifier for SQL text, whatever characters the database gave it.
std::string quoted(std::string_view identifier) {
    std::string text = "\"";
    for (char c : identifier) text += c == '"' ? std::string("\"\"") : std::string(1, c);
    return text + "\"";
}

std::optional<std::string> textColumn(sqlite3_stmt* statement, int column) {
    if (sqlite3_column_type(statement, column) != SQLITE_TEXT) return std::nullopt;
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
    return utf8Text(std::optional<std::string>(
        std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(statement, column)))));
}

bool isInteger(sqlite3_stmt* statement, int column) {
    return sqlite3_column_type(statement, column) == SQLITE_INTEGER;
}

// The columns of an ordinary table; empty when there is none of that name. A view, a virtual
// table or a computed column would run what the file says at every read, so they count as
// missing.
std::set<std::string, std::less<>> columnsOf(sqlite3* database, const std::string& table) {
    Statement ordinary = prepare(database,
                                 "SELECT EXISTS (SELECT 1 FROM sqlite_schema WHERE type = 'table' "
                                 "AND name = ?1 AND sql LIKE 'CREATE TABLE %') AND NOT EXISTS "
                                 "(SELECT 1 FROM pragma_table_xinfo(?1) WHERE hidden <> 0)");
    if (!ordinary) return {};
    sqlite3_bind_text(ordinary.get(), 1, table.c_str(), -1, SQLITE_TRANSIENT);
    if (sqlite3_step(ordinary.get()) != SQLITE_ROW || sqlite3_column_int(ordinary.get(), 0) != 1)
        return {};
    Statement names = prepare(database, "SELECT name FROM pragma_table_info(?1)");
    if (!names) return {};
    sqlite3_bind_text(names.get(), 1, table.c_str(), -1, SQLITE_TRANSIENT);
    std::set<std::string, std::less<>> columns;
    while (sqlite3_step(names.get()) == SQLITE_ROW)
        if (auto name = textColumn(names.get(), 0)) columns.insert(*name);
    return columns;
}

bool hasAll(const std::set<std::string, std::less<>>& columns,
            std::initializer_list<std::string_view> wanted) {
    for (std::string_view column : wanted)
        if (!columns.contains(column)) return false;
    return true;
}

// Core Data names a to-many relation's column "Z_" and the entity's number before the
// relation's name: "Z_26ALBUMS", "Z_3ASSETS".
std::optional<std::string> relationColumn(const std::set<std::string, std::less<>>& columns,
                                          std::string_view relation) {
    for (const std::string& column : columns) {
        std::string_view name = column;
        if (!name.starts_with("Z_") || !name.ends_with(relation)) continue;
        std::string_view number = name.substr(2, name.size() - 2 - relation.size());
        if (!number.empty() && number.find_first_not_of("0123456789") == std::string_view::npos)
            return column;
    }
    return std::nullopt;
}

struct AlbumJoin {
    std::string table;
    std::string albumColumn;
    std::string assetColumn;
};

// The table joining albums and assets: its name and its columns' names carry the entities'
// numbers, which change between versions, so it is known by having one column of each.
std::optional<AlbumJoin> findAlbumJoin(sqlite3* database) {
    Statement tables =
        prepare(database,
                "SELECT name FROM sqlite_schema WHERE type = 'table' AND name LIKE 'Z!_%' "
                "ESCAPE '!' ORDER BY name");
    while (tables && sqlite3_step(tables.get()) == SQLITE_ROW) {
        auto table = textColumn(tables.get(), 0);
        if (!table) continue;
        auto columns = columnsOf(database, *table);
        auto albums = relationColumn(columns, "ALBUMS");
        auto assets = relationColumn(columns, "ASSETS");
        if (albums && assets) return AlbumJoin{*table, *albums, *assets};
    }
    return std::nullopt;
}

// Seconds since 2001-01-01 UTC as seconds since 1970, when they are a date at all.
std::optional<std::int64_t> referenceDate(sqlite3_stmt* statement, int column) {
    const int type = sqlite3_column_type(statement, column);
    if (type != SQLITE_FLOAT && type != SQLITE_INTEGER) return std::nullopt;
    const double seconds = sqlite3_column_double(statement, column);
    if (!std::isfinite(seconds) || std::fabs(seconds) > 1e11) return std::nullopt;
    constexpr std::int64_t referenceEpoch = 978307200;
    return static_cast<std::int64_t>(std::floor(seconds)) + referenceEpoch;
}

// The reason reading stopped, or nothing when every row was read.
std::optional<std::string> stepFailure(sqlite3* database, int status) {
    if (status == SQLITE_DONE) return std::nullopt;
    return std::string("is damaged (") + sqlite3_errmsg(database) + ")";
}

// The assets with their original file names; a row that names no file is left out.
std::optional<std::string> readAssets(sqlite3* database, PhotoLibrary& library) {
    // A file that isn't a database at all fails here, rather than seeming to lack the table.
    Statement schema = prepare(database, "SELECT count(*) FROM sqlite_schema");
    if (!schema || sqlite3_step(schema.get()) != SQLITE_ROW)
        return stepFailure(database, SQLITE_ERROR);
    std::string table = "ZASSET";
    auto columns = columnsOf(database, table);
    if (columns.empty()) columns = columnsOf(database, table = "ZGENERICASSET");
    if (!hasAll(columns, {"Z_PK", "ZDIRECTORY", "ZFILENAME", "ZDATECREATED", "ZKIND"}))
        return "has no asset table this version knows";
    std::string sql = "SELECT a.Z_PK, a.ZDIRECTORY, a.ZFILENAME, a.ZDATECREATED, a.ZKIND, ";
    sql += columns.contains("ZHIDDEN") ? "a.ZHIDDEN, " : "0, ";
    sql += columns.contains("ZTRASHEDSTATE") ? "a.ZTRASHEDSTATE, " : "0, ";
    const bool originalNames =
        hasAll(columnsOf(database, "ZADDITIONALASSETATTRIBUTES"), {"ZASSET", "ZORIGINALFILENAME"});
    sql += originalNames ? "x.name FROM " : "NULL FROM ";
    sql += quoted(table) + " a ";
    if (originalNames)
        sql +=
            "LEFT JOIN (SELECT ZASSET, MIN(ZORIGINALFILENAME) AS name FROM "
            "ZADDITIONALASSETATTRIBUTES GROUP BY ZASSET) x ON x.ZASSET = a.Z_PK ";
    sql += "ORDER BY a.Z_PK";
    Statement rows = prepare(database, sql);
    if (!rows) return stepFailure(database, SQLITE_ERROR);
    int status = SQLITE_ROW;
    while ((status = sqlite3_step(rows.get())) == SQLITE_ROW) {
        sqlite3_stmt* row = rows.get();
        auto directory = textColumn(row, 1);
        auto fileName = textColumn(row, 2);
        if (!isInteger(row, 0) || !directory || !fileName) continue;
        LibraryAsset asset;
        asset.id = sqlite3_column_int64(row, 0);
        asset.directory = std::move(*directory);
        asset.fileName = std::move(*fileName);
        asset.created = referenceDate(row, 3);
        asset.kind = sqlite3_column_int64(row, 4) == 1 ? MediaKind::Video : MediaKind::Photo;
        asset.hidden = sqlite3_column_int64(row, 5) != 0;
        asset.trashed = sqlite3_column_int64(row, 6) != 0;
        asset.originalFileName = textColumn(row, 7);
        library.assets.push_back(std::move(asset));
    }
    return stepFailure(database, status);
}

// User albums with their members; a library without albums has none.
std::optional<std::string> readAlbums(sqlite3* database, PhotoLibrary& library) {
    if (!hasAll(columnsOf(database, "ZGENERICALBUM"), {"Z_PK", "ZTITLE", "ZKIND"}))
        return std::nullopt;
    auto join = findAlbumJoin(database);
    if (!join) return std::nullopt;
    Statement rows = prepare(database, "SELECT al.Z_PK, al.ZTITLE, j." + quoted(join->assetColumn) +
                                           " FROM ZGENERICALBUM al JOIN " + quoted(join->table) +
                                           " j ON j." + quoted(join->albumColumn) +
                                           " = al.Z_PK WHERE al.ZKIND = 2 ORDER BY al.Z_PK");
    if (!rows) return stepFailure(database, SQLITE_ERROR);
    std::optional<std::int64_t> lastAlbum;
    int status = SQLITE_ROW;
    while ((status = sqlite3_step(rows.get())) == SQLITE_ROW) {
        sqlite3_stmt* row = rows.get();
        if (!isInteger(row, 2)) continue;
        const std::int64_t album = sqlite3_column_int64(row, 0);
        if (album != lastAlbum) {
            library.albums.push_back({textColumn(row, 1).value_or(""), {}});
            lastAlbum = album;
        }
        library.albums.back().assets.push_back(sqlite3_column_int64(row, 2));
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

}  // namespace salvora
