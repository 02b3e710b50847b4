#pragma once

// The phone's call history as plain structs: "CallHistory.storedata", the Core Data store of
// iOS 8 and later, else "call_history.db" of the phones before; each read by the columns its
// version has.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/model/Records.h"
#include "crypto/UnlockedKeybag.h"
#include "foundation/Error.h"

struct sqlite3;

namespace salvora {

inline constexpr std::string_view callHistoryDomain = "HomeDomain";
inline constexpr std::string_view callHistoryPath = "Library/CallHistoryDB/CallHistory.storedata";
inline constexpr std::string_view olderCallHistoryPath = "Library/CallHistory/call_history.db";

struct Call {
    std::optional<std::int64_t> date;  // seconds since 1970; absent when the row holds none
    double duration = 0;               // seconds
    std::string address;               // the number or address as the phone kept it
    std::string name;                  // the name the phone kept beside it; empty if none
    bool outgoing = false;
    bool answered = false;
    // "Phone", "FaceTime Audio", "FaceTime Video", or the bundle id of the application that
    // placed the call ("net.whatsapp.WhatsApp").
    std::string service;
    std::string country;  // ISO 3166 letters as the phone kept them ("de"); empty if none
};

struct CallHistory {
    std::vector<Call> calls;  // oldest first
    // What could not be read and was left out, a sentence each.
    std::vector<std::string> warnings;
};

// Whether the backup holds either database.
bool hasCallHistory(const ApplicationMap& applications);

// Every call of an open database of either kind. Fails when it has neither ZCALLRECORD nor
// call.
Result<CallHistory> readCallHistory(sqlite3* database);

// The backup's call history, its -wal applied: CallHistory.storedata, else call_history.db.
// Fails as NotInBackup when the backup holds neither.
Result<CallHistory> readBackupCallHistory(const std::string& deviceDirectory,
                                          const ApplicationMap& applications,
                                          const UnlockedKeybag* keybag);

}  // namespace salvora
