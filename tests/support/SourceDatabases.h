#pragma once

// The example databases of the fixture writers, each added to a backup as the phone keeps it:
// Messages' sms.db (newest generation) with its attachment, WhatsApp's container, the address
// book; all in WAL mode with their newest rows in the "-wal".
#include <string>

#include "sources/whatsapp/BackupWhatsApp.h"
#include "support/AddressBookWriter.h"
#include "support/BackupWriter.h"
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

inline void writeContacts(BackupWriter& backup) {
    writeAddressBook(JournalMode::WalWithLog,
                     [&](const std::string& path, const std::string& contents) {
                         backup.addManifestDbFile("HomeDomain", path, contents, 1700000000);
                     });
}

}  // namespace salvora::test
