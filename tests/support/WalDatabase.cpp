#include "support/WalDatabase.h"

#include <sqlite3.h>

#include <cstdint>
#include <stdexcept>

#include "support/SqlConnection.h"
#include "support/TemporaryFolder.h"

namespace salvora::test {
namespace {

std::uint32_t bigEndianAt(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

void putBigEndian(std::string& bytes, std::size_t at, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<char>(value >> (24 - 8 * i) & 0xFF);
}

// SQLite's checksum of the header's first 24 bytes, its words in the order the magic number
// names (0x377f0683: big-endian).
void resumHeader(std::string& wal) {
    const bool bigEndian = (bigEndianAt(wal, 0) & 1) != 0;
    auto word = [&](std::size_t at) {
        const std::uint32_t value = bigEndianAt(wal, at);
        return bigEndian ? value : __builtin_bswap32(value);
    };
    std::uint32_t first = 0;
    std::uint32_t second = 0;
    for (std::size_t at = 0; at < 24; at += 8) {
        first += word(at) + second;
        second += word(at + 4) + first;
    }
    putBigEndian(wal, 24, first);
    putBigEndian(wal, 28, second);
}

}  // namespace

DatabaseFiles databaseFiles(JournalMode mode, const std::string& sql, const std::string& newerSql) {
    TemporaryFolder scratch;
    const std::string path = scratch / "database.sqlite";
    Database database = openForWriting(path);
    if (mode != JournalMode::Rollback) execute(database.get(), "PRAGMA journal_mode = WAL;");
    execute(database.get(), sql);
    if (mode != JournalMode::WalWithLog) {
        execute(database.get(), newerSql);
        // Closing checkpoints every frame into the main file and removes the log.
        database.reset();
        return {readText(path), std::nullopt};
    }
    execute(database.get(), "PRAGMA wal_checkpoint(TRUNCATE); PRAGMA wal_autocheckpoint = 0;");
    execute(database.get(), newerSql);
    DatabaseFiles files{readText(path), readText(path + "-wal")};
    if (files.wal->empty()) throw std::runtime_error("the newer rows left no log");
    return files;
}

std::string withDamagedHeader(std::string wal) {
    wal.at(12) = static_cast<char>(wal.at(12) ^ 0x01);
    return wal;
}

std::string withAnotherSalt(std::string wal) {
    putBigEndian(wal, 16, bigEndianAt(wal, 16) + 1);
    resumHeader(wal);
    return wal;
}

void addDatabaseFiles(const std::string& path, const DatabaseFiles& files,
                      const HomeFileAdder& addFile) {
    addFile(path, files.main);
    if (files.wal) addFile(path + "-wal", *files.wal);
}

}  // namespace salvora::test
