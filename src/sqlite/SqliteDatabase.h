#pragma once

// An SQLite database opened only for reading, closed with its owner.
#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "foundation/Error.h"
#include "sqlite/Statement.h"

struct sqlite3;

namespace salvora {

class SqliteDatabase {
  public:
    // Opens the file read-only and immutable: SQLite takes no lock and writes no journal or
    // anything else beside it. Fails with the reason SQLite gave.
    static Result<SqliteDatabase> openImmutable(const std::string& path);

    // A read-only database over a copy of the bytes of a database file (one decrypted into
    // memory, say); nothing touches the disk. Fails when SQLite refuses them.
    static Result<SqliteDatabase> fromBytes(std::span<const std::byte> bytes);

    // The same over the bytes themselves, kept for the database's life instead of copied: a
    // decrypted catalogue may be hundreds of megabytes.
    static Result<SqliteDatabase> fromOwnedBytes(std::vector<std::byte> bytes);

    // Opens `name` through the VFS named (the default one when null) with SQLite's `flags`,
    // keeping `keepAlive` until the database is closed (what the VFS serves it from, say).
    // Fails with the reason SQLite gave.
    static Result<SqliteDatabase> open(const std::string& name, int flags, const char* vfs,
                                       std::shared_ptr<const void> keepAlive = nullptr);

    SqliteDatabase(SqliteDatabase&&) = default;
    // Assigning would let the old bytes go before the old database is closed.
    SqliteDatabase& operator=(SqliteDatabase&&) = delete;

    sqlite3* handle() const { return database_.get(); }

  private:
    struct Closer {
        void operator()(sqlite3* database) const;
    };
    explicit SqliteDatabase(sqlite3* database) : database_(database) {}

    // An in-memory database over `image` (which SQLite frees on close with `ownedBySqlite`).
    static Result<SqliteDatabase> deserialize(unsigned char* image, std::size_t size,
                                              bool ownedBySqlite);

    // What the database is read from (the bytes of one made by fromOwnedBytes); declared
    // first, so that the database is closed before it goes.
    std::shared_ptr<const void> keepAlive_;
    std::unique_ptr<sqlite3, Closer> database_;
};

// A path as an SQLite "file:" URI with the given query, every character that URIs reserve
// percent-encoded.
std::string sqliteFileUri(const std::string& path, const std::string& query);

}  // namespace salvora
