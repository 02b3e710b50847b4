#include "sources/contacts/AddressBookNames.h"

namespace salvora {

Result<ContactNames> readContactNames(const std::string& deviceDirectory, const ApplicationMap&,
                                      const UnlockedKeybag*) {
    return Error{"Could not read the address book of", deviceDirectory, "not built yet",
                 ErrorKind::NotInBackup};
}

}  // namespace salvora
