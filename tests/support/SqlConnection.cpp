#include "support/SqlConnection.h"

#include <sqlite3.h>

#include <stdexcept>

namespace salvora::test {

void DatabaseCloser::operator()(sqlite3* database) const { sqlite3_close(database); }

Database openForWriting(const std::string& path) {
    sqlite3* handle = nullptr;
    int status =
        sqlite3_open_v2(path.c_str(), &handle, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    Database database(handle);
    if (status != SQLITE_OK) throw std::runtime_error("could not open " + path);
    return database;
}

void execute(sqlite3* database, const std::string& sql) {
    char* message = nullptr;
    if (sqlite3_exec(database, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
        std::string reason = message != nullptr ? message : "unknown";
        sqlite3_free(message);
        throw std::runtime_error("SQL failed: " + reason + ": " + sql);
    }
}

}  // namespace salvora::test
