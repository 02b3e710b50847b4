#include "sqlite/Statement.h"

#include <sqlite3.h>

namespace salvora {

void StatementFinalizer::operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }

Result<Statement> prepare(sqlite3* database, std::string_view sql) {
    sqlite3_stmt* handle = nullptr;
    if (sqlite3_prepare_v2(database, sql.data(), static_cast<int>(sql.size()), &handle, nullptr) !=
        SQLITE_OK) {
        sqlite3_finalize(handle);
        return sqliteError(database, "Could not prepare");
    }
    return Statement(handle);
}

Error sqliteError(sqlite3* database, std::string operation) {
    const char* path = sqlite3_db_filename(database, "main");
    return Error{std::move(operation), path != nullptr ? path : "", sqlite3_errmsg(database)};
}

std::string quotedName(std::string_view name) {
    std::unique_ptr<char, decltype(&sqlite3_free)> text(
        sqlite3_mprintf("\"%w\"", std::string(name).c_str()), &sqlite3_free);
    if (text == nullptr) throw std::bad_alloc();
    return text.get();
}

std::optional<std::string_view> textColumn(sqlite3_stmt* statement, int column) {
    if (sqlite3_column_type(statement, column) != SQLITE_TEXT) return std::nullopt;
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
    return std::string_view(text,
                            static_cast<std::size_t>(sqlite3_column_bytes(statement, column)));
}

std::optional<std::int64_t> integerColumn(sqlite3_stmt* statement, int column) {
    if (sqlite3_column_type(statement, column) != SQLITE_INTEGER) return std::nullopt;
    return sqlite3_column_int64(statement, column);
}

std::optional<double> realColumn(sqlite3_stmt* statement, int column) {
    const int type = sqlite3_column_type(statement, column);
    if (type != SQLITE_FLOAT && type != SQLITE_INTEGER) return std::nullopt;
    return sqlite3_column_double(statement, column);
}

std::span<const std::byte> blobColumn(sqlite3_stmt* statement, int column) {
    if (sqlite3_column_type(statement, column) != SQLITE_BLOB) return {};
    const void* blob = sqlite3_column_blob(statement, column);
    return {static_cast<const std::byte*>(blob),
            static_cast<std::size_t>(sqlite3_column_bytes(statement, column))};
}

}  // namespace salvora
