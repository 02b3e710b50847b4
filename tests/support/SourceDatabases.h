#pragma once

// The example databases of the fixture writers, each added to a backup as the phone keeps it:
// Messages' sms.db (newest generation) with its attachment, WhatsApp's container, the address
// book, the call history and the calendars; all in WAL mode with their newest rows in the
// "-wal".
#include <string>

#include "sources/whatsapp/BackupWhatsApp.h"
#include "support/AddressBookWriter.h"
#include "support/BackupWriter.h"
#include "support/CalendarWriter.h"
#include "support/CallHistoryWriter.h"
#include "support/ChatStorageWriter.h"
#include "support/SmsDatabaseWriter.h"

namespace salvora::test {

inline void writeSms(BackupWriter& backup) {
    writeMessages(SmsGeneration::AttributedBodies, JournalMode::WalWithLog,
                  [&](const std::string& domain, const std::string& path,
                      const std::string& contents, std::uint32_t lastModified) {
                      backup.addManifestDbFile(domain, path, contents, lastModified);
                  });
}

inline void writeChats(BackupWriter& backup) {
    writeWhatsAppContainer([&](const std::string& path, const std::string& contents) {
        backup.addManifestDbFile(std::string(whatsApp.domain), path, contents, 1700000000);
    });
}

// Adds a file of HomeDomain.
inline HomeFileAdder homeFilesOf(BackupWriter& backup) {
    return [&backup](const std::string& path, const std::string& contents) {
        backup.addManifestDbFile("HomeDomain", path, contents, 1700000000);
    };
}

inline void writeContacts(BackupWriter& backup) {
    writeAddressBook(JournalMode::WalWithLog, homeFilesOf(backup));
}

inline void writeCalls(BackupWriter& backup) {
    writeCallHistoryStore(JournalMode::WalWithLog, homeFilesOf(backup));
}

inline void writeCalendars(BackupWriter& backup) {
    writeCalendarDatabase(JournalMode::WalWithLog, homeFilesOf(backup));
}

}  // namespace salvora::test
