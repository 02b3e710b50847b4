#include "support/ManifestDbWriter.h"

#include <sqlite3.h>

#include <memory>
#include <stdexcept>

#include "support/SqlConnection.h"

namespace salvora::test {
namespace {

struct StatementFinalizer {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

void bindText(sqlite3_stmt* statement, int column, const std::optional<std::string>& text) {
    if (text) {
        sqlite3_bind_text(statement, column, text->data(), static_cast<int>(text->size()),
                          SQLITE_TRANSIENT);
    } else {
        sqlite3_bind_null(statement, column);
    }
}

}  // namespace

void appendManifestDbRows(const std::string& databasePath, const std::vector<ManifestDbRow>& rows) {
    Database database = openForWriting(databasePath);
    execute(database.get(),
            "PRAGMA synchronous = OFF;"
            "CREATE TABLE IF NOT EXISTS Files (fileID TEXT PRIMARY KEY, domain TEXT, "
            "relativePath TEXT, flags INTEGER, file BLOB);"
            "CREATE INDEX IF NOT EXISTS FilesDomainIdx ON Files(domain);"
            "CREATE TABLE IF NOT EXISTS Properties (key TEXT PRIMARY KEY, value BLOB);"
            "BEGIN;");
    sqlite3_stmt* handle = nullptr;
    sqlite3_prepare_v2(database.get(),
                       "INSERT INTO Files (fileID, domain, relativePath, flags, file) "
                       "VALUES (?, ?, ?, ?, ?)",
                       -1, &handle, nullptr);
    Statement insert(handle);
    if (!insert) throw std::runtime_error("could not prepare the insert");
    for (const ManifestDbRow& row : rows) {
        bindText(insert.get(), 1, row.fileID);
        bindText(insert.get(), 2, row.domain);
        bindText(insert.get(), 3, row.relativePath);
        sqlite3_bind_int64(insert.get(), 4, row.flags);
        if (row.file) {
            sqlite3_bind_blob(insert.get(), 5, row.file->data(), static_cast<int>(row.file->size()),
                              SQLITE_TRANSIENT);
        } else {
            sqlite3_bind_null(insert.get(), 5);
        }
        if (sqlite3_step(insert.get()) != SQLITE_DONE) {
            throw std::runtime_error(std::string("insert failed: ") +
                                     sqlite3_errmsg(database.get()));
        }
        sqlite3_reset(insert.get());
    }
    insert.reset();
    execute(database.get(), "COMMIT;");
}

void runSql(const std::string& databasePath, const std::string& sql) {
    Database database = openForWriting(databasePath);
    execute(database.get(), sql);
}

}  // namespace salvora::test
