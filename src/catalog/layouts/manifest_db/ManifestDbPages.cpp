#include "catalog/layouts/manifest_db/ManifestDbPages.h"

#include <sqlite3.h>

#include <array>
#include <optional>

#include "catalog/layouts/manifest_db/FileIdNames.h"
#include "catalog/layouts/manifest_db/ManifestDbItems.h"
#include "catalog/layouts/manifest_db/SqliteTablePages.h"
#include "foundation/BothCores.h"
#include "foundation/Utf8Text.h"
#include "sqlite/SqliteDatabase.h"

namespace salvora {
namespace {

// The columns a listing reads, in this order.
constexpr std::array<const char*, 4> listedColumns{"fileID", "domain", "relativePath", "flags"};
enum Column { FileIdColumn, DomainColumn, RelativePathColumn, FlagsColumn };

// Below this many leaves a second reader costs more than it saves.
constexpr std::size_t leavesWorthSplitting = 2'000;

// Where the table lies in the file and where its rows hold the listed columns.
struct FilesPlace {
    std::uint32_t rootPage = 0;
    std::array<std::size_t, listedColumns.size()> columns{};
};

// Absent when a listed column is missing or is the rowid under another name (an INTEGER
// PRIMARY KEY), whose value the rows don't hold.
std::optional<FilesPlace> filesPlace(sqlite3* database) {
    FilesPlace place;
    auto root = prepare(database,
                        "SELECT rootpage FROM sqlite_schema WHERE type = 'table' "
                        "AND name = 'Files' COLLATE NOCASE");
    if (!root || sqlite3_step(root->get()) != SQLITE_ROW ||
        sqlite3_column_type(root->get(), 0) != SQLITE_INTEGER)
        return std::nullopt;
    const sqlite3_int64 rootPage = sqlite3_column_int64(root->get(), 0);
    if (rootPage < 1 || rootPage > UINT32_MAX) return std::nullopt;
    place.rootPage = static_cast<std::uint32_t>(rootPage);
    auto column =
        prepare(database,
                "SELECT cid, pk > 0 AND upper(type) = 'INTEGER' FROM pragma_table_info('Files') "
                "WHERE name = ?1 COLLATE NOCASE");
    if (!column) return std::nullopt;
    for (std::size_t index = 0; index < listedColumns.size(); ++index) {
        sqlite3_reset(column->get());
        sqlite3_bind_text(column->get(), 1, listedColumns[index], -1, SQLITE_STATIC);
        if (sqlite3_step(column->get()) != SQLITE_ROW || sqlite3_column_int(column->get(), 1) != 0)
            return std::nullopt;
        place.columns[index] = static_cast<std::size_t>(sqlite3_column_int64(column->get(), 0));
    }
    return place;
}

std::optional<std::string_view> textOf(const StoredValue& value) {
    if (value.kind != StoredValue::Kind::Text) return std::nullopt;
    return value.bytes;
}

std::optional<double> numberOf(const StoredValue& value) {
    if (value.kind == StoredValue::Kind::Integer) return static_cast<double>(value.integer);
    if (value.kind == StoredValue::Kind::Real) return value.real;
    return std::nullopt;
}

bool readLeaves(SqliteTablePages& pages, std::span<const std::uint32_t> leaves,
                const FilesPlace& place, const ManifestDbDetails& details, ContainerFiler& part) {
    FileIdNames names;
    return pages.readRows(
        leaves, place.columns, [&](std::int64_t rowid, std::span<const StoredValue> values) {
            const ManifestDbItem flagged = itemOfFlags(numberOf(values[FlagsColumn]));
            if (!mayBeRegularFile(flagged)) return;
            std::optional<StoredName> name = names.nameOf(textOf(values[FileIdColumn]));
            if (!name) return;
            // Flags that say nothing leave it to the blob's Mode, read for these rows only.
            if (flagged == ManifestDbItem::Unknown &&
                details.itemOfRow(rowid) != ManifestDbItem::RegularFile)
                return;
            part.file(textOf(values[DomainColumn]), *name,
                      utf8Text(textOf(values[RelativePathColumn])), &details, rowid);
        });
}

}  // namespace

bool readManifestDbPages(sqlite3* database, const std::string& path,
                         const ManifestDbDetails& details, std::span<ContainerFiler, 2> parts) {
    const std::optional<FilesPlace> place = filesPlace(database);
    std::optional<SqliteTablePages> pages = place ? SqliteTablePages::open(path) : std::nullopt;
    const std::optional<std::vector<std::uint32_t>> leaves =
        pages ? pages->leafPages(place->rootPage) : std::nullopt;
    if (!leaves) return false;
    const std::span<const std::uint32_t> all(*leaves);
    const std::size_t half = all.size() / 2;
    return readInHalves(
        all.size(), leavesWorthSplitting, *pages, [&] { return SqliteTablePages::open(path); },
        [&](SqliteTablePages& reader, ReadHalf part) {
            const std::span<const std::uint32_t> leaves = part == ReadHalf::Whole ? all
                                                          : part == ReadHalf::First
                                                              ? all.first(half)
                                                              : all.subspan(half);
            return readLeaves(reader, leaves, *place, details, parts[part == ReadHalf::Second]);
        });
}

}  // namespace salvora
