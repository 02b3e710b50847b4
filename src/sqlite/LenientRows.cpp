#include "sqlite/LenientRows.h"

#include <sqlite3.h>

#include <cmath>
#include <cstdlib>

#include "sqlite/Statement.h"

namespace salvora {

std::string columnOrNull(const ColumnNames& columns, std::string_view prefix,
                         std::string_view name) {
    if (!columns.contains(name)) return "NULL";
    return std::string(prefix) + quotedName(name);
}

std::string anyText(sqlite3_stmt* statement, int column) {
    switch (sqlite3_column_type(statement, column)) {
        case SQLITE_TEXT:
            return std::string(textColumn(statement, column).value_or(""));
        case SQLITE_INTEGER:
            return std::to_string(*integerColumn(statement, column));
        case SQLITE_FLOAT: {
            const double value = *realColumn(statement, column);
            if (value == std::floor(value) && std::fabs(value) < 1e15)
                return std::to_string(static_cast<std::int64_t>(value));
            return std::to_string(value);
        }
        default:
            return {};
    }
}

std::optional<double> referenceSeconds(sqlite3_stmt* statement, int column) {
    if (const auto real = realColumn(statement, column)) return real;
    const auto text = textColumn(statement, column);
    if (!text || text->empty()) return std::nullopt;
    char* end = nullptr;
    const std::string owned(*text);
    const double value = std::strtod(owned.c_str(), &end);
    if (end == owned.c_str() || !std::isfinite(value)) return std::nullopt;
    return value;
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
