#pragma once

// The address book written out in the formats other programs open, into DEST:
// - "contacts.vcf": every contact as a vCard 3.0 card, photo embedded, groups as CATEGORIES,
//   labels as the phone's own export writes them (TYPE=CELL, or itemN.X-ABLabel);
// - "contacts.csv": one row per contact, several values of a column joined with "; ";
// - with onePerContact, "vcards/NAME.vcf": each card in a file of its own, names safe and unique.
// The export replaces an earlier one only once complete (ExportFolder.h).
#include <string>

#include "catalog/model/Records.h"
#include "crypto/UnlockedKeybag.h"
#include "export/ExportSummary.h"
#include "recovery/Recovery.h"
#include "sources/contacts/AddressBook.h"

namespace salvora {

struct ContactExportOptions {
    bool onePerContact = false;
    bool portableNames = false;
};

// The contact as one vCard 3.0 card.
std::string vCardOf(const Contact& contact);

// The header and the rows of "contacts.csv".
std::string contactsCsv(const AddressBook& book);

// `progress` is told as by a save, each file a step; answering false cancels the export,
// leaving any earlier one in place.
ExportSummary exportContacts(const AddressBook& book, const std::string& destination,
                             const ContactExportOptions& options, const SaveProgress& progress = {});

// The backup's address book, exported; the summary's error says why when the backup holds none.
ExportSummary exportBackupContacts(const std::string& deviceDirectory,
                                   const ApplicationMap& applications, const UnlockedKeybag* keybag,
                                   const std::string& destination,
                                   const ContactExportOptions& options,
                                   const SaveProgress& progress = {});

}  // namespace salvora
