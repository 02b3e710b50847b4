#include "catalog/layouts/manifest_db/SqliteTablePages.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <array>
#include <cstdio>
#include <filesystem>

#include "support/ManifestDbWriter.h"
#include "support/TemporaryFolder.h"

namespace salvora {
namespace {

constexpr std::array<std::size_t, 4> listed{0, 1, 2, 3};

std::string shown(StoredValue::Kind kind, std::int64_t integer, double real,
                  std::string_view bytes) {
    switch (kind) {
        case StoredValue::Kind::Null:
            return "null";
        case StoredValue::Kind::Integer:
            return "i" + std::to_string(integer);
        case StoredValue::Kind::Real:
            return "r" + std::to_string(real);
        case StoredValue::Kind::Text:
            return "t" + std::string(bytes);
        case StoredValue::Kind::Blob:
            return "b" + std::string(bytes);
    }
    return {};
}

// The rows as SQLite gives them: rowid and the four columns the pages are read for, in rowid
// order. Only those are asked for, so damage in a later column stops neither way of reading.
std::vector<std::string> rowsBySqlite(const std::string& path) {
    sqlite3* database = nullptr;
    sqlite3_open_v2(path.c_str(), &database, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(
        database, "SELECT rowid, fileID, domain, relativePath, flags FROM Files ORDER BY rowid", -1,
        &statement, nullptr);
    std::vector<std::string> rows;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        std::string row = std::to_string(sqlite3_column_int64(statement, 0));
        for (int column = 1; column <= 4; ++column) {
            const auto* bytes = static_cast<const char*>(sqlite3_column_blob(statement, column));
            const int type = sqlite3_column_type(statement, column);
            const auto kind = type == SQLITE_NULL      ? StoredValue::Kind::Null
                              : type == SQLITE_INTEGER ? StoredValue::Kind::Integer
                              : type == SQLITE_FLOAT   ? StoredValue::Kind::Real
                              : type == SQLITE_TEXT    ? StoredValue::Kind::Text
                                                       : StoredValue::Kind::Blob;
            row += "|" + shown(kind, sqlite3_column_int64(statement, column),
                               sqlite3_column_double(statement, column),
                               {bytes ? bytes : "",
                                static_cast<std::size_t>(sqlite3_column_bytes(statement, column))});
        }
        rows.push_back(row);
    }
    sqlite3_finalize(statement);
    sqlite3_close(database);
    return rows;
}

std::optional<std::uint32_t> filesRootPage(const std::string& path) {
    sqlite3* database = nullptr;
    sqlite3_open_v2(path.c_str(), &database, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(database, "SELECT rootpage FROM sqlite_schema WHERE name = 'Files'", -1,
                       &statement, nullptr);
    std::optional<std::uint32_t> root;
    if (sqlite3_step(statement) == SQLITE_ROW)
        root = static_cast<std::uint32_t>(sqlite3_column_int64(statement, 0));
    sqlite3_finalize(statement);
    sqlite3_close(database);
    return root;
}

// The rows as the pages give them; absent when they can't be read so.
std::optional<std::vector<std::string>> rowsByPages(const std::string& path) {
    std::optional<SqliteTablePages> pages = SqliteTablePages::open(path);
    const std::optional<std::uint32_t> root = filesRootPage(path);
    if (!pages || !root) return std::nullopt;
    const auto leaves = pages->leafPages(*root);
    if (!leaves) return std::nullopt;
    std::vector<std::string> rows;
    const bool read = pages->readRows(*leaves, listed, [&](std::int64_t rowid, auto values) {
        std::string row = std::to_string(rowid);
        for (const StoredValue& value : values)
            row += "|" + shown(value.kind, value.integer, value.real, value.bytes);
        rows.push_back(row);
    });
    if (!read) return std::nullopt;
    return rows;
}

// Rows 1 to N of a Files table, each fileID's path `pathSize` characters long when positive.
std::string filledTable(const std::string& pragmas, int rows, int pathSize = 0) {
    const std::string path = pathSize > 0 ? "printf('%0" + std::to_string(pathSize) + "d', x)"
                                          : "'Library/' || x || '.db'";
    return pragmas +
           "CREATE TABLE Files (fileID TEXT PRIMARY KEY, domain TEXT, relativePath TEXT, "
           "flags INTEGER, file BLOB);"
           "WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n WHERE x < " +
           std::to_string(rows) +
           ") INSERT INTO Files SELECT lower(hex(randomblob(20))), 'AppDomain-app' || (x % 7), " +
           path + ", 1 + (x % 5 = 0), zeroblob(300 + x % 900) FROM n;";
}

struct TableShape {
    const char* name;
    std::string sql;
};

class PagesAgreeWithSqlite : public testing::TestWithParam<TableShape> {};

TEST_P(PagesAgreeWithSqlite, EveryRowInRowidOrderWithItsValues) {
    test::TemporaryFolder folder;
    const std::string path = folder / "Manifest.db";
    test::runSql(path, GetParam().sql);
    const std::vector<std::string> expected = rowsBySqlite(path);
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(rowsByPages(path), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, PagesAgreeWithSqlite,
    testing::Values(
        TableShape{"ThreeLevelsOfPages", filledTable("", 20'000)},
        TableShape{"SmallPagesWithPathsInOverflowPages",
                   filledTable("PRAGMA page_size = 512;", 500, 700)},
        TableShape{"PathsLongerThanAPage", filledTable("", 50, 9000)},
        TableShape{"LargestPages", filledTable("PRAGMA page_size = 65536;", 3000)},
        TableShape{"DeletedRowsAndReusedPagesWithAutoVacuum",
                   filledTable("PRAGMA auto_vacuum = FULL;", 4000) +
                       "DELETE FROM Files WHERE rowid % 3 = 0;"
                       "INSERT INTO Files SELECT fileID || 'x', domain, relativePath, flags, "
                       "file FROM Files WHERE rowid % 7 = 0;"},
        // Rows inserted in random rowid order leave the leaves out of file order.
        TableShape{"LeavesOutOfFileOrder",
                   filledTable("", 0) +
                       "WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n WHERE x < "
                       "5000) INSERT OR IGNORE INTO Files (rowid, fileID, domain, relativePath, "
                       "flags) SELECT abs(random() % 1000000), 'f' || x, 'HomeDomain', "
                       "hex(randomblob(200)), 1 FROM n;"},
        TableShape{"ValuesOfEveryKind",
                   "CREATE TABLE Files (fileID, domain, relativePath, flags, file);"
                   "INSERT INTO Files VALUES (NULL, x'00ff', 1.5, 1.0, NULL),"
                   "(-1, -129, -32769, -8388609, 0), (2147483648, 140737488355328, "
                   "-9223372036854775808, 9223372036854775807, 1), ('', x'', 'é', '1', NULL);"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SqliteTablePages, RefusesWhatItDoesNotReadTheUsualWay) {
    test::TemporaryFolder folder;
    test::runSql(folder / "utf16.db", "PRAGMA encoding = 'UTF-16le';" + filledTable("", 10));
    EXPECT_FALSE(SqliteTablePages::open(folder / "utf16.db"));
    test::runSql(folder / "index.db",
                 "CREATE TABLE Files (fileID TEXT PRIMARY KEY, domain, relativePath, flags) "
                 "WITHOUT ROWID; INSERT INTO Files VALUES ('a', 'b', 'c', 1);");
    EXPECT_FALSE(rowsByPages(folder / "index.db"));
    test::writeFile(folder / "text.db", "SQLite format 3 but not really");
    EXPECT_FALSE(SqliteTablePages::open(folder / "text.db"));
}

// Damage anywhere in the pages makes the read fail or read what SQLite reads there.
TEST(SqliteTablePages, DamagedPagesFailOrReadWhatIsThere) {
    test::TemporaryFolder folder;
    const std::string path = folder / "Manifest.db";
    test::runSql(path, filledTable("PRAGMA page_size = 1024;", 600, 1500));
    const std::vector<std::byte> whole = test::readBytes(path);
    for (std::size_t at = 100; at < whole.size(); at += whole.size() / 97) {
        std::vector<std::byte> damaged = whole;
        for (std::size_t index = at; index < std::min(at + 24, damaged.size()); ++index)
            damaged[index] = std::byte{0xFF};
        test::writeFile(path, damaged);
        if (const auto byPages = rowsByPages(path)) {
            EXPECT_EQ(*byPages, rowsBySqlite(path)) << at;
        }
        test::writeFile(path, std::span(whole).first(at));
        EXPECT_FALSE(rowsByPages(path) && at < whole.size() / 2) << at;
    }
}

}  // namespace
}  // namespace salvora
