#include "sqlite/ServedDatabase.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "sqlite/ReadOnlyVfs.h"

namespace salvora {
namespace {

// A log of no more than its header holds no frame to miss.
constexpr std::uint64_t walHeaderSize = 32;

Status execute(sqlite3* database, const char* sql) {
    if (sqlite3_exec(database, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        return sqliteError(database, "Could not read");
    return {};
}

// Opens the files and reads the schema, which applies the log: a main file SQLite can't read
// fails here rather than at a caller's first statement.
Result<SqliteDatabase> openThroughVfs(std::shared_ptr<const ServedFile> main,
                                      std::shared_ptr<const ServedFile> wal) {
    registerReadOnlyVfs();
    auto names = std::make_shared<const ServedNames>(std::move(main), std::move(wal));
    const std::string name = names->name();
    auto database =
        SqliteDatabase::open(name, SQLITE_OPEN_READONLY, ReadOnlyVfsName, std::move(names));
    if (!database) return database.error();
    sqlite3* handle = database->handle();
    // Closing must not try to copy the log into the main file.
    sqlite3_db_config(handle, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    // What a file's schema says runs only with the functions that are harmless.
    sqlite3_db_config(handle, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    // Sorts and temporary tables stay in memory: the VFS has no disk to put them on.
    if (Status memory = execute(handle, "PRAGMA temp_store = MEMORY"); !memory)
        return memory.error();
    // SQLite's own page cache of 2 MiB is kept: a larger one made every export slower, a million
    // messages' by a tenth, and a scan of a large table twice as slow, as filling it costs more
    // than the page cache's copies of the pages it misses.
    // One read transaction for the connection's life, begun by the schema's read: the files
    // can't change under it, and each statement outside one would begin its own, asking the VFS
    // again for the header, the size and a hot journal, and dropping the pages SQLite kept.
    if (Status begun = execute(handle, "BEGIN"); !begun) return begun.error();
    if (Status schema = execute(handle, "SELECT count(*) FROM sqlite_schema"); !schema)
        return schema.error();
    return database;
}

}  // namespace

ServedFile::ServedFile(std::vector<std::byte> bytes)
    : bytes_(std::move(bytes)), size_(bytes_.size()) {}

ServedFile::ServedFile(FileDescriptor file, std::uint64_t size)
    : file_(std::move(file)), size_(size) {}

Result<ServedFile> ServedFile::inPlace(FileDescriptor file, const std::string& path) {
    struct stat status {};
    if (::fstat(file.get(), &status) != 0) return Error::fromErrno("Could not read", path, errno);
    return ServedFile(std::move(file), static_cast<std::uint64_t>(status.st_size));
}

long ServedFile::read(std::span<std::byte> buffer, std::uint64_t offset) const {
    if (offset >= size_) return 0;
    const std::size_t wanted =
        static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), size_ - offset));
    if (!file_.valid()) {
        std::memcpy(buffer.data(), bytes_.data() + offset, wanted);
        return static_cast<long>(wanted);
    }
    std::size_t done = 0;
    while (done < wanted) {
        const ssize_t read = ::pread(file_.get(), buffer.data() + done, wanted - done,
                                     static_cast<off_t>(offset + done));
        if (read < 0 && errno == EINTR) continue;
        if (read < 0) return -1;
        if (read == 0) break;
        done += static_cast<std::size_t>(read);
    }
    return static_cast<long>(done);
}

Result<ServedDatabase> openServedDatabase(std::shared_ptr<const ServedFile> main,
                                          std::shared_ptr<const ServedFile> wal) {
    const bool walHasFrames = wal && wal->size() > walHeaderSize;
    auto withWal = openThroughVfs(main, std::move(wal));
    if (withWal && (!walHasFrames || walFramesRead(withWal->handle()) > 0))
        return ServedDatabase{std::move(*withWal), std::nullopt};
    if (withWal)
        // SQLite checked the log's salts and checksums and took none of its frames.
        return ServedDatabase{std::move(*withWal), "SQLite found no frame of this database in it"};
    std::string problem =
        "SQLite could not read the database with it (" + withWal.error().reason + ")";
    auto alone = openThroughVfs(std::move(main), nullptr);
    if (!alone) return alone.error();
    return ServedDatabase{std::move(*alone), std::move(problem)};
}

}  // namespace salvora
