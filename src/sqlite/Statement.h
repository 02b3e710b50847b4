#pragma once

// Prepared statements and the values of their columns, each read only as the type it holds.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "foundation/Error.h"

struct sqlite3;
struct sqlite3_stmt;

namespace salvora {

struct StatementFinalizer {
    void operator()(sqlite3_stmt* statement) const;
};
// A prepared statement, finalized with its owner.
using Statement = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

// The statement prepared on the database, failing with the reason SQLite gave ("no such
// table: ZASSET").
Result<Statement> prepare(sqlite3* database, std::string_view sql);

// The reason SQLite gives for the last failure on the database, as an error of `operation`.
Error sqliteError(sqlite3* database, std::string operation);

// An identifier for SQL text, whatever characters the database gave it: "a""b" for a"b.
std::string quotedName(std::string_view name);

// Each absent unless the column holds a value of its type (a real also takes an integer).
std::optional<std::string_view> textColumn(sqlite3_stmt* statement, int column);
std::optional<std::int64_t> integerColumn(sqlite3_stmt* statement, int column);
std::optional<double> realColumn(sqlite3_stmt* statement, int column);
// Empty unless the column holds a blob; valid until the statement moves on.
std::span<const std::byte> blobColumn(sqlite3_stmt* statement, int column);

}  // namespace salvora
