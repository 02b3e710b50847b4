#pragma once

// A database's files as a phone leaves them: in the default journal mode, or in write-ahead-log
// mode with or without a "-wal" holding rows the main file lacks; and the logs SQLite must
// pass over.
#include <functional>
#include <optional>
#include <string>

namespace salvora::test {

enum class JournalMode {
    Rollback,    // the default: one file
    Wal,         // WAL mode, every row in the main file, no "-wal"
    WalWithLog,  // WAL mode, the newer rows only in the "-wal"
};

struct DatabaseFiles {
    std::string main;
    std::optional<std::string> wal;  // the "-wal", for WalWithLog
};

// Runs `sql`, then `newerSql`, on a new database. With WalWithLog, the connection stays open
// without checkpoints while `newerSql` runs, and both files are copied as they stand before
// it closes.
DatabaseFiles databaseFiles(JournalMode mode, const std::string& sql, const std::string& newerSql);

// Adds a file of the backup by its path in its domain.
using HomeFileAdder = std::function<void(const std::string& path, const std::string& contents)>;

// The database at `path`, with its "-wal" beside it when it has one.
void addDatabaseFiles(const std::string& path, const DatabaseFiles& files,
                      const HomeFileAdder& addFile);

// The log with one bit of its header flipped: its checksum fails.
std::string withDamagedHeader(std::string wal);
// The log's header with another salt and a checksum made anew: no frame is of this log.
std::string withAnotherSalt(std::string wal);

}  // namespace salvora::test
