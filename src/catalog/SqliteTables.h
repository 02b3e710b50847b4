#pragma once

// What a database file holds, told in a line per table.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace salvora {

struct SqliteTableSize {
    std::string name;
    std::uint64_t rows = 0;
};

// The tables of the database in the bytes, by name, with their row counts; read in memory,
// nothing touches the disk. Absent when SQLite refuses the bytes.
std::optional<std::vector<SqliteTableSize>> sqliteTableSizes(std::vector<std::byte> bytes);

}  // namespace salvora
