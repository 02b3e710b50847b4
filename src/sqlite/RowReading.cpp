#include "sqlite/RowReading.h"

#include <sqlite3.h>

#include "sqlite/Statement.h"

namespace salvora {

std::string columnOrNull(const ColumnNames& columns, std::string_view prefix, std::string_view name) {
    if (!columns.contains(name)) return "NULL";
    return std::string(prefix) + quotedName(name);
}

void eachRow(sqlite3* database, const std::string& sql, std::string_view what,
             std::vector<std::string>& warnings, const std::function<void(sqlite3_stmt*)>& row) {
    auto statement = prepare(database, sql);
    if (!statement) {
        warnings.push_back("Left out " + std::string(what) + ": " + statement.error().reason);
        return;
    }
    int step;
    while ((step = sqlite3_step(statement->get())) == SQLITE_ROW) row(statement->get());
    if (step != SQLITE_DONE)
        warnings.push_back("Left out some " + std::string(what) + ": " + sqlite3_errmsg(database));
}

}  // namespace salvora
