#include "sqlite/SqliteDatabase.h"

#include <sqlite3.h>

#include <cstring>
#include <string_view>

namespace salvora {
namespace {

// A connection is used by one thread at a time, so SQLite need not lock it on every call (a
// million rows ask for four columns each).
constexpr int noLocking = SQLITE_OPEN_NOMUTEX;

// What an in-memory database's errors name as its path.
constexpr const char* inMemory = ":memory:";

// SQLite would take no bytes as an empty database, which no file of a backup is.
Error emptyImage() { return Error{"Could not open", inMemory, "The database has no bytes"}; }

}  // namespace

void SqliteDatabase::Closer::operator()(sqlite3* database) const { sqlite3_close(database); }

std::string sqliteFileUri(const std::string& path, const std::string& query) {
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string uri = "file:";
    for (unsigned char c : path) {
        bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                     std::string_view("/-._~").find(static_cast<char>(c)) != std::string_view::npos;
        if (plain) {
            uri += static_cast<char>(c);
        } else {
            uri += '%';
            uri += digits[c >> 4];
            uri += digits[c & 0xF];
        }
    }
    return uri + "?" + query;
}

Result<SqliteDatabase> SqliteDatabase::openImmutable(const std::string& path) {
    Result<SqliteDatabase> database =
        open(sqliteFileUri(path, "immutable=1"), SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr);
    if (!database) return Error{"Could not open", path, database.error().reason};
    return database;
}

Result<SqliteDatabase> SqliteDatabase::open(const std::string& name, int flags, const char* vfs,
                                            std::shared_ptr<const void> keepAlive) {
    sqlite3* handle = nullptr;
    const int status = sqlite3_open_v2(name.c_str(), &handle, flags | noLocking, vfs);
    SqliteDatabase database(handle);
    database.keepAlive_ = std::move(keepAlive);
    if (status != SQLITE_OK) {
        if (handle == nullptr) return Error{"Could not open", name, sqlite3_errstr(status)};
        return sqliteError(handle, "Could not open");
    }
    return database;
}

Result<SqliteDatabase> SqliteDatabase::deserialize(unsigned char* image, std::size_t size,
                                                   bool ownedBySqlite) {
    auto freeImage = [&] {
        if (ownedBySqlite) sqlite3_free(image);
    };
    sqlite3* handle = nullptr;
    int status = sqlite3_open_v2(inMemory, &handle, SQLITE_OPEN_READWRITE | noLocking, nullptr);
    SqliteDatabase database(handle);
    if (status != SQLITE_OK) {
        freeImage();
        return Error{"Could not open", inMemory, sqlite3_errstr(status)};
    }
    // From here SQLite frees an image it owns, whatever the outcome.
    unsigned flags = SQLITE_DESERIALIZE_READONLY;
    if (ownedBySqlite) flags |= SQLITE_DESERIALIZE_FREEONCLOSE;
    status = sqlite3_deserialize(handle, "main", image, static_cast<sqlite3_int64>(size),
                                 static_cast<sqlite3_int64>(size), flags);
    if (status != SQLITE_OK) return sqliteError(handle, "Could not open");
    return database;
}

Result<SqliteDatabase> SqliteDatabase::fromBytes(std::span<const std::byte> bytes) {
    if (bytes.empty()) return emptyImage();
    auto* copy = static_cast<unsigned char*>(sqlite3_malloc64(bytes.size()));
    if (copy == nullptr) return Error{"Could not open", inMemory, sqlite3_errstr(SQLITE_NOMEM)};
    std::memcpy(copy, bytes.data(), bytes.size());
    return deserialize(copy, bytes.size(), true);
}

Result<SqliteDatabase> SqliteDatabase::fromOwnedBytes(std::vector<std::byte> bytes) {
    if (bytes.empty()) return emptyImage();
    auto owned = std::make_shared<std::vector<std::byte>>(std::move(bytes));
    auto* image = reinterpret_cast<unsigned char*>(owned->data());
    auto database = deserialize(image, owned->size(), false);
    if (database) database->keepAlive_ = std::move(owned);
    return database;
}

}  // namespace salvora
