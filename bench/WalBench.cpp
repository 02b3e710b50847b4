#include "bench/WalBench.h"

#include <filesystem>

#include "bench/ProcessBench.h"
#include "support/BackupWriter.h"
#include "support/EncryptedBackup.h"
#include "support/TemporaryFolder.h"
#include "support/WalDatabase.h"

namespace salvora::bench {
namespace {

constexpr const char* application = "com.example.bench";
constexpr const char* domain = "AppDomain-com.example.bench";
constexpr const char* databasePath = "Library/chat.sqlite";
constexpr std::uint64_t rowBytes = 1000;
constexpr int newerRows = 10'000;

std::string rowsSql(std::uint64_t rows) {
    return "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
           std::to_string(rows) + ") INSERT INTO message (body) SELECT randomblob(" +
           std::to_string(rowBytes) + ") FROM n;";
}

std::string processFigure(const ProcessTimes& times) {
    return seconds(times.seconds) + ", " + mebibytes(times.peakBytes) +
           (times.succeeded ? "" : " (FAILED)");
}

}  // namespace

WalDatabaseBackups writeWalDatabaseBackups(const std::string& folder, std::uint64_t bytes) {
    std::filesystem::create_directories(folder);
    WalDatabaseBackups backups{folder + "/wal-plain", folder + "/wal-encrypted",
                               folder + "/wal-password", folder + "/database.sqlite", 0};
    const test::DatabaseFiles files = test::databaseFiles(
        test::JournalMode::WalWithLog,
        "CREATE TABLE message (id INTEGER PRIMARY KEY, body BLOB);" + rowsSql(bytes / rowBytes),
        rowsSql(newerRows));
    backups.databaseBytes = files.main.size();
    test::writeFile(backups.database, files.main);
    test::writeFile(backups.database + "-wal", *files.wal);
    test::BackupWriter plain(backups.plain);
    plain.addManifestDbFile(domain, std::string(databasePath) + "-wal", *files.wal);
    plain.addManifestDbFile(domain, databasePath, files.main);
    test::EncryptedBackup encrypted(backups.encrypted);
    encrypted.addFile(domain, std::string(databasePath) + "-wal", *files.wal);
    encrypted.addFile(domain, databasePath, files.main);
    test::writeFile(backups.passwordFile, encrypted.keybag().password);
    return backups;
}

void benchWalDatabase(Report& report, const WalDatabaseBackups& backups, const std::string& opener,
                      int runs) {
    report.heading("A WAL-mode database of " + megabytes(double(backups.databaseBytes)) +
                   " with its -wal: opened and its rows counted");
    if (opener.empty()) {
        report.skipped("WAL-mode database goals", "no --open-database given");
        return;
    }
    // The shell reads copies, so the -shm it makes and its checkpoint touch no backup.
    const std::vector<ProcessTimes> times = timeProcesses(
        {{opener, backups.plain, application, databasePath, "message"},
         {opener, backups.encrypted, application, databasePath, "message", backups.passwordFile},
         {"sqlite3", "-readonly", backups.database, "SELECT count(*) FROM message"}},
        runs);
    const ProcessTimes& plain = times[0];
    const ProcessTimes& encrypted = times[1];
    const ProcessTimes& shell = times[2];
    report.figure("plain backup", processFigure(plain));
    report.figure("encrypted backup", processFigure(encrypted));
    report.figure("sqlite3 shell on the two files", processFigure(shell));
    report.target("plain: peak memory < 256 MiB", plain.succeeded && plain.peakBytes < 256 << 20,
                  mebibytes(plain.peakBytes));
    report.target("plain: <= 1.5 x the sqlite3 shell",
                  plain.succeeded && shell.succeeded && plain.seconds <= 1.5 * shell.seconds,
                  ratio(plain.seconds / shell.seconds));
    const double encryptedShare = encrypted.peakBytes / double(backups.databaseBytes);
    report.target("encrypted: peak memory < 1.25 x the database",
                  encrypted.succeeded && encryptedShare < 1.25, ratio(encryptedShare));
}

}  // namespace salvora::bench
