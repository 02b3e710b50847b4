#pragma once

// What a database's schema holds, asked before reading it: applications change their tables
// between versions, and Core Data numbers its join tables differently in each.
#include <initializer_list>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "foundation/Error.h"

struct sqlite3;

namespace salvora {

using ColumnNames = std::set<std::string, std::less<>>;

// Whether SQLite can read the database's schema, with its reason when not ("file is not a
// database"): bytes that are no database fail here, rather than seeming to lack every table.
Status readableSchema(sqlite3* database);

// Whether the database has an ordinary table of that name (in any case). A view, a virtual
// table or a computed column would run what the file says at every read (a view can recurse
// without end), so reading only what is stored needs an ordinary table.
bool isOrdinaryTable(sqlite3* database, std::string_view table);

// The columns of an ordinary table; empty when there is none of that name. A view, a virtual
// table or a computed column would run what the file says at every read, so they count as
// missing.
ColumnNames columnsOf(sqlite3* database, std::string_view table);

bool hasColumns(const ColumnNames& columns, std::initializer_list<std::string_view> wanted);

// Whether the database has an ordinary table of that name with all these columns.
bool hasTableWithColumns(sqlite3* database, std::string_view table,
                         std::initializer_list<std::string_view> wanted);

// Whether an index of the table orders it by that column first, so that reading the rows of one
// value of it searches the index rather than the whole table.
bool hasIndexLeadingWith(sqlite3* database, std::string_view table, std::string_view column);

// Core Data names a to-many relation's column "Z_", the entity's number, then the relation's
// name: "Z_26ALBUMS", "Z_3ASSETS". The column of that relation, if the table has one.
std::optional<std::string> relationColumn(const ColumnNames& columns, std::string_view relation);

// A table of Core Data joining two relations ("Z_26ASSETS" with "Z_26ALBUMS" and "Z_3ASSETS"):
// the numbers in its names change between versions, so it is found by having both columns.
struct JoinTable {
    std::string table;
    std::string firstColumn;   // of the first relation asked for
    std::string secondColumn;  // of the second
};
std::optional<JoinTable> findJoinTable(sqlite3* database, std::string_view firstRelation,
                                       std::string_view secondRelation);

}  // namespace salvora
