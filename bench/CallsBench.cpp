#include "bench/CallsBench.h"

#include "bench/ProcessBench.h"
#include "support/AddressBookWriter.h"
#include "support/BackupWriter.h"
#include "support/CallHistoryWriter.h"

namespace salvora::bench {

void writeCallHistoryBackup(const std::string& folder, std::size_t calls) {
    test::BackupWriter backup(folder);
    test::writeAddressBook(
        test::JournalMode::Wal,
        [&](const std::string& path, const std::string& contents) {
            backup.addManifestDbFile("HomeDomain", path, contents);
        },
        false);
    backup.addManifestDbFile("HomeDomain", "Library/CallHistoryDB/CallHistory.storedata",
                             test::largeCallHistoryStore(calls));
}

void benchCallExport(Report& report, const std::string& backupFolder, const std::string& scratch,
                     const std::string& cli, std::size_t calls, int runs) {
    const std::string goal = "calls: export of " + std::to_string(calls) + " calls <= 2 s";
    report.heading("The call history out as CSV and a page, whole processes");
    if (cli.empty()) return report.skipped(goal, "no --cli given");
    const ProcessTimes times =
        timeProcesses({{cli, "calls", backupFolder, scratch + "/calls-exported"}}, runs).front();
    report.figure("salvora-cli calls", seconds(times.seconds) + " (processor " +
                                           seconds(times.processorSeconds) + "), " +
                                           mebibytes(times.peakBytes) +
                                           (times.succeeded ? "" : " (FAILED)"));
    report.target(goal, times.succeeded && times.seconds <= 2, seconds(times.seconds));
}

}  // namespace salvora::bench
