#pragma once

// Reading an application's table as far as it goes, by the columns it has: each generation of a
// phone's database adds and drops columns, and keeps numbers as text in some and text as
// numbers in others.
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sqlite/SchemaProbes.h"

struct sqlite3;
struct sqlite3_stmt;

namespace salvora {

// The column for a SELECT list, after `prefix` ("t."), when the table has it; else NULL in its
// place.
std::string columnOrNull(const ColumnNames& columns, std::string_view prefix,
                         std::string_view name);

// A value of any kind as text: "12" for the integer 12; empty for NULL or a blob.
std::string anyText(sqlite3_stmt* statement, int column);

// Seconds since Apple's reference date, stored as a number or as its text.
std::optional<double> referenceSeconds(sqlite3_stmt* statement, int column);

// Runs `sql` to its end, `row` for each row. A statement SQLite refuses, or a step that fails,
// adds a warning naming `what` was left out.
void eachRow(sqlite3* database, const std::string& sql, std::string_view what,
             std::vector<std::string>& warnings, const std::function<void(sqlite3_stmt*)>& row);

}  // namespace salvora
