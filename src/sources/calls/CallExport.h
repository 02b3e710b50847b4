#pragma once

// The call history written out for people and for spreadsheets, into DEST:
// - "calls.csv": a header row, then a row per call, oldest first;
// - "calls.html": a table of the calls, newest first.
// Each call shows the name the backup's address book gives its number, else the one the phone
// kept beside it. The export replaces an earlier one only once complete (ExportFolder.h).
#include <string>
#include <vector>

#include "catalog/model/Records.h"
#include "crypto/UnlockedKeybag.h"
#include "export/ExportSummary.h"
#include "recovery/Recovery.h"
#include "sources/calls/CallHistory.h"
#include "sources/contacts/ContactNames.h"

namespace salvora {

// The name each call is shown under, in the history's order; empty when neither the address
// book nor the phone has one. Each number is looked up once, however many calls it has.
std::vector<std::string> callerNames(const CallHistory& history, const ContactNames& names);
// "incoming", "outgoing".
std::string_view directionText(const Call& call);
// "answered", "missed" (an incoming call no one took), "not answered" (an outgoing one).
std::string_view answerText(const Call& call);
// "1:02:03", "0:00:45".
std::string lengthText(double seconds);

// `names`: callerNames of the history.
std::string callsCsv(const CallHistory& history, const std::vector<std::string>& names);
std::string callsHtml(const CallHistory& history, const std::vector<std::string>& names);

// `progress` is told as by a save, each file a step; answering false cancels the export,
// leaving any earlier one in place.
ExportSummary exportCalls(const CallHistory& history, const ContactNames& names,
                          const std::string& destination, const SaveProgress& progress = {});

// The backup's call history, named from its address book where it holds one. Fails as
// NotInBackup when the backup holds no call history.
struct BackupCalls {
    CallHistory history;
    ContactNames names;
};
Result<BackupCalls> readBackupCalls(const std::string& deviceDirectory,
                                    const ApplicationMap& applications,
                                    const UnlockedKeybag* keybag);

// The backup's call history, exported; the summary's error says why when the backup holds none.
ExportSummary exportBackupCalls(const std::string& deviceDirectory,
                                const ApplicationMap& applications, const UnlockedKeybag* keybag,
                                const std::string& destination, const SaveProgress& progress = {});

}  // namespace salvora
