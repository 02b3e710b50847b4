#pragma once

// An SQLite database opened only for reading, closed with its owner.
#include <cstddef>
#include <memory>
#include <optional>
#include <span>
#include <string>

struct sqlite3;

namespace salvora {

class SqliteDatabase {
  public:
    // Opens the file read-only and immutable: SQLite takes no lock and writes no journal or
    // anything else beside it. Nullopt when it can't be opened.
    static std::optional<SqliteDatabase> openImmutable(const std::string& path);

    // A read-only database over a copy of the bytes of a database file (one decrypted into
    // memory, say); nothing touches the disk. Nullopt when SQLite refuses them.
    static std::optional<SqliteDatabase> fromBytes(std::span<const std::byte> bytes);

    sqlite3* handle() const { return database_.get(); }

  private:
    struct Closer {
        void operator()(sqlite3* database) const;
    };
    explicit SqliteDatabase(sqlite3* database) : database_(database) {}

    std::unique_ptr<sqlite3, Closer> database_;
};

// A path as an SQLite "file:" URI with the given query, every character that URIs reserve
// percent-encoded.
std::string sqliteFileUri(const std::string& path, const std::string& query);

}  // namespace salvora
