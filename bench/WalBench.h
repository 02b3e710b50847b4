#pragma once

// Opens a large WAL-mode database with its "-wal" out of a plain and an encrypted backup, as an
// export opens it, in whole processes against the sqlite3 shell on the same two files.
#include <cstdint>
#include <string>

#include "bench/Report.h"

namespace salvora::bench {

struct WalDatabaseBackups {
    std::string plain;      // a Manifest.db backup
    std::string encrypted;  // an encrypted one, its password in `passwordFile`
    std::string passwordFile;
    std::string database;  // the two files as SQLite left them: "database.sqlite" and its -wal
    std::uint64_t databaseBytes = 0;
};

// A table of about `bytes` of rows, its last 10,000 rows only in the log, written to `folder`.
WalDatabaseBackups writeWalDatabaseBackups(const std::string& folder, std::uint64_t bytes);

// `opener`: salvora-bench-open-database.
void benchWalDatabase(Report& report, const WalDatabaseBackups& backups, const std::string& opener,
                      int runs);

}  // namespace salvora::bench
