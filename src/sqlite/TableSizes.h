#pragma once

// What a database holds, told in a line per table.
#include <cstdint>
#include <string>
#include <vector>

#include "foundation/Error.h"
#include "sqlite/SqliteDatabase.h"

namespace salvora {

struct SqliteTableSize {
    std::string name;
    std::uint64_t rows = 0;
};

// The tables of the database, by name, with their row counts; fails with the reason SQLite
// gave when it can't list them.
Result<std::vector<SqliteTableSize>> sqliteTableSizes(const SqliteDatabase& database);

}  // namespace salvora
