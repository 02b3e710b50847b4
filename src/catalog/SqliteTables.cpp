#include "catalog/SqliteTables.h"

#include <sqlite3.h>

#include <memory>

#include "catalog/SqliteDatabase.h"

namespace salvora {
namespace {

Statement prepare(sqlite3* database, const std::string& sql) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(database, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
        sqlite3_finalize(statement);
        return nullptr;
    }
    return Statement(statement);
}

// Double quotes inside the name are doubled, so any name counts its own table.
std::string quoted(const std::string& name) {
    std::string text = "\"";
    for (char c : name) text += c == '"' ? std::string("\"\"") : std::string(1, c);
    return text + "\"";
}

}  // namespace

std::optional<std::vector<SqliteTableSize>> sqliteTableSizes(std::vector<std::byte> bytes) {
    auto database = SqliteDatabase::fromOwnedBytes(std::move(bytes));
    if (!database) return std::nullopt;
    Statement names = prepare(database->handle(),
                              "SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name");
    if (!names) return std::nullopt;
    std::vector<SqliteTableSize> tables;
    while (sqlite3_step(names.get()) == SQLITE_ROW) {
        const auto* text = sqlite3_column_text(names.get(), 0);
        SqliteTableSize table{text != nullptr ? reinterpret_cast<const char*>(text) : "", 0};
        Statement count = prepare(database->handle(), "SELECT count(*) FROM " + quoted(table.name));
        if (count && sqlite3_step(count.get()) == SQLITE_ROW)
            table.rows = static_cast<std::uint64_t>(sqlite3_column_int64(count.get(), 0));
        tables.push_back(std::move(table));
    }
    return tables;
}

}  // namespace salvora
