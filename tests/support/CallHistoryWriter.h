#pragma once

// The phone's call history, added as `addFile(path, contents)` of HomeDomain: the Core Data
// store "Library/CallHistoryDB/CallHistory.storedata" of iOS 8 and later, or the older
// "Library/CallHistory/call_history.db".
#include <cstddef>
#include <string>

#include "support/AddressBookWriter.h"
#include "support/WalDatabase.h"

namespace salvora::test {

// The store's calls, oldest first (dates UTC; the names are those of writeAddressBook):
// 1 2024-03-01 10:00:00, incoming, answered, phone, "01511234567" (Ada), 125.4 s, "de";
// 2 2024-03-01 11:00:00, outgoing, answered, FaceTime video, "ada@example.org", 3725 s;
// 3 2024-03-01 12:00:00, incoming, missed, phone, the address as a blob "+44 20 7946 0001"
//   that no contact holds, the phone's name for it `<b>Bob & "Co"</b>`, "gb";
// 4 2024-07-03 09:46:40, outgoing, not answered, "net.whatsapp.WhatsApp", "+1 202 555 0147"
//   named "Smith, John" by the phone, 0 s, "us";
// 5 2024-07-03 10:46:40, incoming, answered, FaceTime audio, "+49 221 555000" (Café Zoë GmbH),
//   59.6 s.
// With WalWithLog, calls 4 and 5 are only in the "-wal", stored after the database.
void writeCallHistoryStore(JournalMode journal, const HomeFileAdder& addFile);

// The older database's calls: 2011-03-13 07:06:40 UTC outgoing to "+49 151 1234567", 60 s;
// an hour later a missed call from "0221 555000".
void writeOlderCallHistory(const HomeFileAdder& addFile);

// The store's bytes alone, for the fuzz target's seeds.
std::string callHistoryStoreBytes();

// A store of `calls` phone calls, half of them outgoing, from 2,000 numbers over the years, in
// WAL mode with every row in the main file.
std::string largeCallHistoryStore(std::size_t calls);

}  // namespace salvora::test
