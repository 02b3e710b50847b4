#pragma once

// The phone's address book, "Library/AddressBook/AddressBook.sqlitedb" and
// "AddressBookImages.sqlitedb", added as `addFile(path, contents)` of HomeDomain.
#include <string>

#include "support/WalDatabase.h"

namespace salvora::test {

// The contacts, in ROWID order:
// 1 "Ada King Lovelace": a birthday, "+49 151 1234567" as Mobile, "030 1234567" as "Boat" (a
//   custom label), an e-mail and an address at Home, a value of every other kind, a group, a
//   photo (exampleContactPhoto) and a note of two lines with ";" and ",".
// 2 the company "Café Zoë GmbH", "+49 221 555000" at Work.
// 3 "Jürgen Groß", "juergen@example.de", a note longer than a vCard line, group "Familie".
// 4 another "Ada King Lovelace", "+44 20 7946 0000" as iPhone.
// With WalWithLog, contacts 3 and 4 are only in the "-wal", stored after the database.
// The tables of "AddressBook.sqlitedb" with the labels, keys and group the example uses, and
// the empty tables of "AddressBookImages.sqlitedb".
extern const std::string addressBookSchema;
extern const std::string addressBookImagesSchema;

void writeAddressBook(JournalMode journal, const HomeFileAdder& addFile, bool withPhotos = true);

// The bytes of Ada's photo: long enough that its base64 is folded over many lines.
std::string exampleContactPhoto();

}  // namespace salvora::test
