#pragma once

// Reading a table by the columns each version of an application gives it, and every row that
// can be read: what SQLite refuses is left out with a sentence saying what, not the whole read.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "sqlite/SchemaProbes.h"

struct sqlite3;
struct sqlite3_stmt;

namespace salvora {

// The column for a SELECT list when the table has it ("t." and its quoted name), else NULL in
// its place.
std::string columnOrNull(const ColumnNames& columns, std::string_view prefix, std::string_view name);

// Runs `sql` to its end, handing each row to `row`. A statement SQLite refuses, or a step that
// fails (a damaged page), leaves a warning naming `what` and SQLite's reason.
void eachRow(sqlite3* database, const std::string& sql, std::string_view what,
             std::vector<std::string>& warnings, const std::function<void(sqlite3_stmt*)>& row);

}  // namespace salvora
