#pragma once

// A connection that writes a database of a fixture, with its SQL run or else an exception.
#include <memory>
#include <string>

struct sqlite3;

namespace salvora::test {

struct DatabaseCloser {
    void operator()(sqlite3* database) const;
};
using Database = std::unique_ptr<sqlite3, DatabaseCloser>;

// Opens the database for writing, creating it when missing.
Database openForWriting(const std::string& path);

void execute(sqlite3* database, const std::string& sql);

}  // namespace salvora::test
