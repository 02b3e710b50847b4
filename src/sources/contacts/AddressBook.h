#pragma once

// The phone's address book, "AddressBook.sqlitedb", every contact as plain structs, read by the
// columns each generation of its tables has; and their photos, "AddressBookImages.sqlitedb".
#include <cstddef>
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

inline constexpr std::string_view addressBookDomain = "HomeDomain";
inline constexpr std::string_view addressBookPath = "Library/AddressBook/AddressBook.sqlitedb";
inline constexpr std::string_view addressBookImagesPath =
    "Library/AddressBook/AddressBookImages.sqlitedb";

// One value of a contact with the label the phone shows it under: built in, as the phone stores
// it ("_$!<Mobile>!$_"), or the user's own ("Boat"); empty when it has none.
struct LabeledValue {
    std::string label;
    std::string value;
};

// A postal address, by its parts.
struct PostalAddress {
    std::string label;
    std::string street;
    std::string city;
    std::string state;
    std::string postalCode;
    std::string country;
    std::string countryCode;  // "de"
};

// A social profile or an instant-messaging account.
struct ServiceAccount {
    std::string label;
    std::string service;  // "Twitter", "Skype"
    std::string username;
    std::string url;
};

struct Contact {
    std::int64_t id = 0;  // ABPerson's ROWID
    bool company = false;
    std::string first, last, middle, prefix, suffix, nickname;
    std::string firstPhonetic, middlePhonetic, lastPhonetic;
    std::string organization, department, jobTitle, note;
    std::optional<std::string> birthday;   // "1815-12-10"
    std::optional<std::int64_t> created;   // seconds since 1970
    std::optional<std::int64_t> modified;  // seconds since 1970
    std::vector<LabeledValue> phones, emails, urls, relatedNames;
    std::vector<LabeledValue> dates;  // values as "2010-06-01"
    std::vector<PostalAddress> addresses;
    std::vector<ServiceAccount> socialProfiles, instantMessaging;
    std::vector<std::string> groups;  // the names of the groups it belongs to
    std::string photo;  // the image's bytes (JPEG as the phone keeps it); empty if none
};

// As the phone lists the contact: "Ada King Lovelace", a company by its name, else a nickname,
// an e-mail address or a phone number; empty when the card holds none of them.
std::string displayName(const Contact& contact);

struct AddressBook {
    std::vector<Contact> contacts;  // in ROWID order
    // What could not be read and was left out, a sentence each.
    std::vector<std::string> warnings;
};

// Whether the backup holds the address book.
bool hasAddressBook(const ApplicationMap& applications);

// Every contact of an open address book. Fails when it has no ABPerson table.
Result<AddressBook> readAddressBook(sqlite3* database);

// How many contacts readAddressBook would give, counted without reading them.
Result<std::size_t> countContacts(sqlite3* database);

// Fills in each contact's photo from an open "AddressBookImages.sqlitedb": the full-size image
// where there is one, else the thumbnail.
void readContactPhotos(sqlite3* images, AddressBook& book);

// The backup's address book with photos where the backup holds them, its -wal applied. Fails as
// NotInBackup when the backup holds no address book.
Result<AddressBook> readBackupAddressBook(const std::string& deviceDirectory,
                                          const ApplicationMap& applications,
                                          const UnlockedKeybag* keybag, bool withPhotos = true);

}  // namespace salvora
