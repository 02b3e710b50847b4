#pragma once

// The names of the backup's own address book, HomeDomain "Library/AddressBook/AddressBook.sqlitedb"
// with its "-wal", for the sources that show people by name.
#include <string>

#include "catalog/model/Records.h"
#include "crypto/UnlockedKeybag.h"
#include "foundation/Error.h"
#include "sources/contacts/ContactNames.h"

namespace salvora {

// Fails as NotInBackup when the backup holds no address book, otherwise with SQLite's reason;
// callers then show handles as written.
Result<ContactNames> readContactNames(const std::string& deviceDirectory,
                                      const ApplicationMap& applications,
                                      const UnlockedKeybag* keybag);

}  // namespace salvora
