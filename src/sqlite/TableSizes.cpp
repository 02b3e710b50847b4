#include "sqlite/TableSizes.h"

#include <sqlite3.h>

#include "sqlite/Statement.h"

namespace salvora {

Result<std::vector<SqliteTableSize>> sqliteTableSizes(const SqliteDatabase& database) {
    sqlite3* handle = database.handle();
    auto names =
        prepare(handle, "SELECT name FROM sqlite_schema WHERE type = 'table' ORDER BY name");
    if (!names) return names.error();
    std::vector<SqliteTableSize> tables;
    while (sqlite3_step(names->get()) == SQLITE_ROW) {
        SqliteTableSize table{std::string(textColumn(names->get(), 0).value_or("")), 0};
        auto count = prepare(handle, "SELECT count(*) FROM " + quotedName(table.name));
        if (count && sqlite3_step(count->get()) == SQLITE_ROW)
            table.rows = static_cast<std::uint64_t>(integerColumn(count->get(), 0).value_or(0));
        tables.push_back(std::move(table));
    }
    return tables;
}

}  // namespace salvora
