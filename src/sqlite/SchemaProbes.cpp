#include "sqlite/SchemaProbes.h"

#include <sqlite3.h>

#include "sqlite/Statement.h"

namespace salvora {
namespace {

void bindText(sqlite3_stmt* statement, std::string_view text, int parameter = 1) {
    sqlite3_bind_text(statement, parameter, text.data(), static_cast<int>(text.size()),
                      SQLITE_TRANSIENT);
}

}  // namespace

Status readableSchema(sqlite3* database) {
    auto schema = prepare(database, "SELECT count(*) FROM sqlite_schema");
    if (!schema) return schema.error();
    if (sqlite3_step(schema->get()) != SQLITE_ROW) return sqliteError(database, "Could not read");
    return {};
}

bool isOrdinaryTable(sqlite3* database, std::string_view table) {
    auto ordinary = prepare(database,
                            "SELECT EXISTS (SELECT 1 FROM sqlite_schema WHERE type = 'table' "
                            "AND name = ?1 COLLATE NOCASE AND sql LIKE 'CREATE TABLE %') AND NOT "
                            "EXISTS (SELECT 1 FROM pragma_table_xinfo(?1) WHERE hidden <> 0)");
    if (!ordinary) return false;
    bindText(ordinary->get(), table);
    return sqlite3_step(ordinary->get()) == SQLITE_ROW && integerColumn(ordinary->get(), 0) == 1;
}

ColumnNames columnsOf(sqlite3* database, std::string_view table) {
    if (!isOrdinaryTable(database, table)) return {};
    auto names = prepare(database, "SELECT name FROM pragma_table_info(?1)");
    if (!names) return {};
    bindText(names->get(), table);
    ColumnNames columns;
    while (sqlite3_step(names->get()) == SQLITE_ROW)
        if (auto name = textColumn(names->get(), 0)) columns.emplace(*name);
    return columns;
}

bool hasColumns(const ColumnNames& columns, std::initializer_list<std::string_view> wanted) {
    for (std::string_view column : wanted)
        if (!columns.contains(column)) return false;
    return true;
}

bool hasTableWithColumns(sqlite3* database, std::string_view table,
                         std::initializer_list<std::string_view> wanted) {
    return hasColumns(columnsOf(database, table), wanted);
}

bool hasIndexLeadingWith(sqlite3* database, std::string_view table, std::string_view column) {
    auto leading = prepare(database,
                           "SELECT 1 FROM pragma_index_list(?1) l, pragma_index_info(l.name) i "
                           "WHERE i.seqno = 0 AND i.name = ?2 COLLATE NOCASE");
    if (!leading) return false;
    bindText(leading->get(), table);
    bindText(leading->get(), column, 2);
    return sqlite3_step(leading->get()) == SQLITE_ROW;
}

std::optional<std::string> relationColumn(const ColumnNames& columns, std::string_view relation) {
    for (const std::string& column : columns) {
        std::string_view name = column;
        if (!name.starts_with("Z_") || !name.ends_with(relation)) continue;
        std::string_view number = name.substr(2, name.size() - 2 - relation.size());
        if (!number.empty() && number.find_first_not_of("0123456789") == std::string_view::npos)
            return column;
    }
    return std::nullopt;
}

std::optional<JoinTable> findJoinTable(sqlite3* database, std::string_view firstRelation,
                                       std::string_view secondRelation) {
    auto tables =
        prepare(database,
                "SELECT name FROM sqlite_schema WHERE type = 'table' AND name LIKE 'Z!_%' "
                "ESCAPE '!' ORDER BY name");
    while (tables && sqlite3_step(tables->get()) == SQLITE_ROW) {
        auto table = textColumn(tables->get(), 0);
        if (!table) continue;
        const ColumnNames columns = columnsOf(database, *table);
        auto first = relationColumn(columns, firstRelation);
        auto second = relationColumn(columns, secondRelation);
        if (first && second) return JoinTable{std::string(*table), *first, *second};
    }
    return std::nullopt;
}

}  // namespace salvora
