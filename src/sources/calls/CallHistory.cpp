#include "sources/calls/CallHistory.h"

#include <sqlite3.h>

#include <cmath>

#include "catalog/StoredFileLookup.h"
#include "foundation/Utf8Text.h"
#include "recovery/StoredDatabase.h"
#include "sqlite/ReferenceDate.h"
#include "sqlite/LenientRows.h"
#include "sqlite/Statement.h"

namespace salvora {
namespace {

// ZCALLTYPE of a FaceTime call.
constexpr std::int64_t faceTimeVideoType = 8;
constexpr std::int64_t faceTimeAudioType = 16;
// call's flags: the call was placed from the phone; a FaceTime call.
constexpr std::int64_t outgoingFlag = 1;
constexpr std::int64_t faceTimeFlag = 16;
constexpr double longestCall = 1e8;  // seconds, three years

// Text the phone keeps as text in one version and as a blob holding it in another; empty
// unless it is UTF-8.
std::string textOrBlob(sqlite3_stmt* row, int column) {
    std::optional<std::string_view> bytes = textColumn(row, column);
    if (!bytes) {
        const auto blob = blobColumn(row, column);
        if (!blob.empty())
            bytes = std::string_view(reinterpret_cast<const char*>(blob.data()), blob.size());
    }
    const auto text = utf8Text(bytes);
    if (!text) return {};
    return std::string(text->substr(0, text->find('\0')));
}

// A length in seconds; none for what no call lasts (negative, not finite, years).
double durationOf(sqlite3_stmt* row, int column) {
    const double seconds = realColumn(row, column).value_or(0);
    return std::isfinite(seconds) && seconds > 0 && seconds < longestCall ? seconds : 0;
}

std::string serviceOf(std::string_view provider, std::optional<std::int64_t> type) {
    if (provider == "com.apple.FaceTime" || (provider.empty() && type == faceTimeAudioType))
        return type == faceTimeVideoType ? "FaceTime Video" : "FaceTime Audio";
    if (provider.empty() && type == faceTimeVideoType) return "FaceTime Video";
    if (provider.empty() || provider == "com.apple.Telephony") return "Phone";
    return std::string(provider);
}

// CallHistory.storedata: Core Data's ZCALLRECORD.
void readCallRecords(sqlite3* database, const ColumnNames& columns, CallHistory& history) {
    static constexpr std::string_view names[] = {
        "ZDATE",      "ZDURATION",         "ZADDRESS", "ZNAME",
        "ZORIGINATED", "ZANSWERED",        "ZCALLTYPE", "ZSERVICE_PROVIDER",
        "ZISO_COUNTRY_CODE"};
    std::string sql = "SELECT ";
    for (const std::string_view name : names)
        sql += (sql.size() > 7 ? ", " : "") + columnOrNull(columns, "", name);
    sql += " FROM ZCALLRECORD ORDER BY " + columnOrNull(columns, "", "ZDATE") + ", " +
           columnOrNull(columns, "", "Z_PK");
    const bool answeredKept = columns.contains("ZANSWERED");
    eachRow(database, sql, "calls", history.warnings, [&](sqlite3_stmt* row) {
        Call call;
        if (const auto seconds = realColumn(row, 0))
            call.date = unixSecondsFromReferenceSeconds(*seconds);
        call.duration = durationOf(row, 1);
        call.address = textOrBlob(row, 2);
        call.name = textOrBlob(row, 3);
        call.outgoing = integerColumn(row, 4).value_or(0) != 0;
        call.answered = answeredKept ? integerColumn(row, 5).value_or(0) != 0 : call.duration > 0;
        call.service = serviceOf(textOrBlob(row, 7), integerColumn(row, 6));
        call.country = textOrBlob(row, 8);
        history.calls.push_back(std::move(call));
    });
}

// call_history.db: the table call of the phones before iOS 8.
void readOlderCalls(sqlite3* database, const ColumnNames& columns, CallHistory& history) {
    const std::string sql = "SELECT " + columnOrNull(columns, "", "date") + ", " +
                            columnOrNull(columns, "", "duration") + ", " +
                            columnOrNull(columns, "", "address") + ", " +
                            columnOrNull(columns, "", "flags") + " FROM call ORDER BY " +
                            columnOrNull(columns, "", "date") + ", ROWID";
    eachRow(database, sql, "calls", history.warnings, [&](sqlite3_stmt* row) {
        Call call;
        // Seconds since 1970; a date thousands of years away is none.
        if (const auto seconds = realColumn(row, 0);
            seconds && std::isfinite(*seconds) && std::fabs(*seconds) < 1e11)
            call.date = static_cast<std::int64_t>(std::floor(*seconds));
        call.duration = durationOf(row, 1);
        call.address = textOrBlob(row, 2);
        const std::int64_t flags = integerColumn(row, 3).value_or(0);
        call.outgoing = (flags & outgoingFlag) != 0;
        call.answered = call.duration > 0;
        call.service = (flags & faceTimeFlag) != 0 ? "FaceTime" : "Phone";
        history.calls.push_back(std::move(call));
    });
}

Result<CallHistory> readAt(const std::string& deviceDirectory, const ApplicationMap& applications,
                           std::string_view path, const UnlockedKeybag* keybag) {
    auto stored =
        openStoredDatabaseAt(deviceDirectory, applications, callHistoryDomain, path, keybag);
    if (!stored) return stored.error();
    auto history = readCallHistory(stored->database.handle());
    if (history && stored->warning)
        history->warnings.insert(history->warnings.begin(), *stored->warning);
    return history;
}

}  // namespace

bool hasCallHistory(const ApplicationMap& applications) {
    return findStoredFile(applications, callHistoryDomain, callHistoryPath).has_value() ||
           findStoredFile(applications, callHistoryDomain, olderCallHistoryPath).has_value();
}

Result<CallHistory> readCallHistory(sqlite3* database) {
    CallHistory history;
    if (const ColumnNames records = columnsOf(database, "ZCALLRECORD"); !records.empty())
        readCallRecords(database, records, history);
    else if (const ColumnNames calls = columnsOf(database, "call"); !calls.empty())
        readOlderCalls(database, calls, history);
    else
        return Error{"Could not read the call history", "", "it has no table ZCALLRECORD or call",
                     ErrorKind::Failed};
    return history;
}

Result<CallHistory> readBackupCallHistory(const std::string& deviceDirectory,
                                          const ApplicationMap& applications,
                                          const UnlockedKeybag* keybag) {
    auto newer = readAt(deviceDirectory, applications, callHistoryPath, keybag);
    if (newer || newer.error().kind != ErrorKind::NotInBackup) {
        if (newer) return newer;
        // A store that can't be read leaves the older database, where the backup still has it.
        auto older = readAt(deviceDirectory, applications, olderCallHistoryPath, keybag);
        if (!older) return newer;
        older->warnings.insert(older->warnings.begin(), "Left out " + std::string(callHistoryPath) +
                                                            ": " + newer.error().reason);
        return older;
    }
    return readAt(deviceDirectory, applications, olderCallHistoryPath, keybag);
}

}  // namespace salvora
