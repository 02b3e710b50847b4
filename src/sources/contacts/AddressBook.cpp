#include "sources/contacts/AddressBook.h"

#include <sqlite3.h>

#include <cstdio>
#include <ctime>
#include <unordered_map>

#include "catalog/StoredFileLookup.h"
#include "recovery/StoredDatabase.h"
#include "sqlite/LenientRows.h"
#include "sqlite/ReferenceDate.h"
#include "sqlite/SchemaProbes.h"
#include "sqlite/Statement.h"

namespace salvora {
namespace {

// ABMultiValue's property numbers.
enum Property {
    PhoneProperty = 3,
    EmailProperty = 4,
    AddressProperty = 5,
    DateProperty = 12,
    InstantMessagingProperty = 13,
    UrlProperty = 22,
    RelatedNameProperty = 23,
    SocialProfileProperty = 46,
};

std::optional<std::int64_t> unixSeconds(sqlite3_stmt* statement, int column) {
    const auto seconds = referenceSeconds(statement, column);
    if (!seconds) return std::nullopt;
    return unixSecondsFromReferenceSeconds(*seconds);
}

// The calendar day in UTC, where the phone files birthdays and anniversaries: "1815-12-10".
std::optional<std::string> dayOf(sqlite3_stmt* statement, int column) {
    const auto seconds = unixSeconds(statement, column);
    if (!seconds) return std::nullopt;
    const std::time_t time = static_cast<std::time_t>(*seconds);
    std::tm parts{};
    if (!::gmtime_r(&time, &parts)) return std::nullopt;
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", parts.tm_year + 1900, parts.tm_mon + 1,
                  parts.tm_mday);
    return std::string(text);
}

class Reader {
  public:
    Reader(sqlite3* database, AddressBook& book) : database_(database), book_(book) {}

    bool readPeople() {
        const ColumnNames columns = columnsOf(database_, "ABPerson");
        if (columns.empty()) return false;
        static constexpr std::string_view names[] = {
            "First",        "Last",         "Middle",        "Prefix",
            "Suffix",       "Nickname",     "FirstPhonetic", "MiddlePhonetic",
            "LastPhonetic", "Organization", "Department",    "JobTitle",
            "Note",         "Birthday",     "CreationDate",  "ModificationDate",
            "Kind"};
        const std::string sql = rowsByRowid(columns, "ABPerson", names);
        eachRow(database_, sql, "contacts", book_.warnings, [&](sqlite3_stmt* row) {
            Contact contact;
            contact.id = integerColumn(row, 0).value_or(0);
            std::string* texts[] = {
                &contact.first,         &contact.last,           &contact.middle,
                &contact.prefix,        &contact.suffix,         &contact.nickname,
                &contact.firstPhonetic, &contact.middlePhonetic, &contact.lastPhonetic,
                &contact.organization,  &contact.department,     &contact.jobTitle,
                &contact.note};
            int column = 1;
            for (std::string* text : texts) *text = anyText(row, column++);
            contact.birthday = dayOf(row, column++);
            contact.created = unixSeconds(row, column++);
            contact.modified = unixSeconds(row, column++);
            contact.company = integerColumn(row, column).value_or(0) == 1;
            indexById_[contact.id] = book_.contacts.size();
            book_.contacts.push_back(std::move(contact));
        });
        return true;
    }

    void readValues() {
        const ColumnNames columns = columnsOf(database_, "ABMultiValue");
        if (!hasColumns(columns, {"record_id", "property", "value"})) return;
        readEntries();
        const bool labels = columns.contains("label") &&
                            hasTableWithColumns(database_, "ABMultiValueLabel", {"value"});
        std::string sql = "SELECT v.record_id, v.property, " +
                          std::string(labels ? "l.value" : "NULL") + ", v.value, " +
                          columnOrNull(columns, "v.", "UID") + " FROM ABMultiValue v";
        if (labels) sql += " LEFT JOIN ABMultiValueLabel l ON l.ROWID = v.label";
        sql += " ORDER BY v.record_id, " + columnOrNull(columns, "v.", "UID");
        eachRow(database_, sql, "phone numbers, addresses and other values", book_.warnings,
                [&](sqlite3_stmt* row) { addValue(row); });
    }

    void readGroups() {
        if (!hasTableWithColumns(database_, "ABGroup", {"Name"}) ||
            !hasTableWithColumns(database_, "ABGroupMembers", {"group_id", "member_id"}))
            return;
        std::string sql =
            "SELECT m.member_id, g.Name FROM ABGroupMembers m JOIN ABGroup g ON g.ROWID = "
            "m.group_id";
        if (columnsOf(database_, "ABGroupMembers").contains("member_type"))
            sql += " WHERE m.member_type = 0 OR m.member_type IS NULL";
        sql += " ORDER BY g.Name";
        eachRow(database_, sql, "groups", book_.warnings, [&](sqlite3_stmt* row) {
            if (Contact* contact = contactOf(row, 0)) contact->groups.push_back(anyText(row, 1));
        });
    }

  private:
    Contact* contactOf(sqlite3_stmt* row, int column) {
        const auto found = indexById_.find(integerColumn(row, column).value_or(-1));
        return found == indexById_.end() ? nullptr : &book_.contacts[found->second];
    }

    // The parts of addresses and profiles, by the UID of their value.
    void readEntries() {
        if (!hasTableWithColumns(database_, "ABMultiValueEntry", {"parent_id", "key", "value"}) ||
            !hasTableWithColumns(database_, "ABMultiValueEntryKey", {"value"}))
            return;
        eachRow(database_,
                "SELECT e.parent_id, k.value, e.value FROM ABMultiValueEntry e "
                "JOIN ABMultiValueEntryKey k ON k.ROWID = e.key",
                "address and profile parts", book_.warnings, [&](sqlite3_stmt* row) {
                    parts_[integerColumn(row, 0).value_or(-1)].emplace(anyText(row, 1),
                                                                       anyText(row, 2));
                });
    }

    void addValue(sqlite3_stmt* row) {
        Contact* contact = contactOf(row, 0);
        if (!contact) return;
        const auto property = integerColumn(row, 1).value_or(0);
        std::string label = anyText(row, 2);
        const auto uid = integerColumn(row, 4);
        const auto partsFound = uid ? parts_.find(*uid) : parts_.end();
        auto part = [&](std::string_view key) -> std::string {
            if (partsFound == parts_.end()) return {};
            const auto found = partsFound->second.find(std::string(key));
            return found == partsFound->second.end() ? std::string() : found->second;
        };
        auto labeled = [&](std::vector<LabeledValue>& values, std::string value) {
            if (!value.empty()) values.push_back({std::move(label), std::move(value)});
        };
        switch (property) {
            case PhoneProperty:
                return labeled(contact->phones, anyText(row, 3));
            case EmailProperty:
                return labeled(contact->emails, anyText(row, 3));
            case UrlProperty:
                return labeled(contact->urls, anyText(row, 3));
            case RelatedNameProperty:
                return labeled(contact->relatedNames, anyText(row, 3));
            case DateProperty:
                return labeled(contact->dates, dayOf(row, 3).value_or(""));
            case AddressProperty:
                contact->addresses.push_back({std::move(label), part("Street"), part("City"),
                                              part("State"), part("ZIP"), part("Country"),
                                              part("CountryCode")});
                return;
            case SocialProfileProperty:
            case InstantMessagingProperty: {
                ServiceAccount account{std::move(label), part("service"), part("username"),
                                       part("url")};
                if (account.username.empty()) account.username = anyText(row, 3);
                auto& accounts = property == SocialProfileProperty ? contact->socialProfiles
                                                                   : contact->instantMessaging;
                accounts.push_back(std::move(account));
                return;
            }
            default:
                return;
        }
    }

    sqlite3* database_;
    AddressBook& book_;
    std::unordered_map<std::int64_t, std::size_t> indexById_;
    std::unordered_map<std::int64_t, std::unordered_map<std::string, std::string>> parts_;
};

}  // namespace

std::string displayName(const Contact& contact) {
    std::string name;
    if (!contact.company)
        for (const std::string* part :
             {&contact.prefix, &contact.first, &contact.middle, &contact.last, &contact.suffix})
            if (!part->empty()) name += (name.empty() ? "" : " ") + *part;
    if (name.empty()) name = contact.organization;
    if (name.empty()) name = contact.nickname;
    if (name.empty() && !contact.emails.empty()) name = contact.emails.front().value;
    if (name.empty() && !contact.phones.empty()) name = contact.phones.front().value;
    return name;
}

bool hasAddressBook(const ApplicationMap& applications) {
    return findStoredFile(applications, addressBookDomain, addressBookPath).has_value();
}

Result<AddressBook> readAddressBook(sqlite3* database) {
    AddressBook book;
    Reader reader(database, book);
    if (!reader.readPeople())
        return Error{"Could not read the address book", "", "it has no table ABPerson",
                     ErrorKind::Failed};
    reader.readValues();
    reader.readGroups();
    return book;
}

void readContactPhotos(sqlite3* images, AddressBook& book) {
    std::unordered_map<std::int64_t, Contact*> byId;
    for (Contact& contact : book.contacts) byId[contact.id] = &contact;
    // Thumbnails first, so that a full-size image replaces its thumbnail.
    for (const char* table : {"ABThumbnailImage", "ABFullSizeImage"}) {
        if (!hasTableWithColumns(images, table, {"record_id", "data"})) continue;
        eachRow(images, "SELECT record_id, data FROM " + std::string(table), "contact photos",
                book.warnings, [&](sqlite3_stmt* row) {
                    const auto found = byId.find(integerColumn(row, 0).value_or(-1));
                    const auto bytes = blobColumn(row, 1);
                    if (found == byId.end() || bytes.empty()) return;
                    found->second->photo.assign(reinterpret_cast<const char*>(bytes.data()),
                                                bytes.size());
                });
    }
}

Result<std::size_t> countContacts(sqlite3* database) {
    if (columnsOf(database, "ABPerson").empty())
        return Error{"Could not count the contacts", "", "it has no table ABPerson"};
    auto counted = prepare(database, "SELECT count(*) FROM ABPerson");
    if (!counted) return counted.error();
    if (sqlite3_step(counted->get()) != SQLITE_ROW)
        return sqliteError(database, "Could not count the contacts");
    return static_cast<std::size_t>(sqlite3_column_int64(counted->get(), 0));
}

Result<AddressBook> readBackupAddressBook(const std::string& deviceDirectory,
                                          const ApplicationMap& applications,
                                          const UnlockedKeybag* keybag, bool withPhotos) {
    auto stored = openStoredDatabaseAt(deviceDirectory, applications, addressBookDomain,
                                       addressBookPath, keybag);
    if (!stored) return stored.error();
    auto book = readAddressBook(stored->database.handle());
    if (!book) return book;
    if (stored->warning) book->warnings.insert(book->warnings.begin(), *stored->warning);
    if (!withPhotos) return book;
    auto images = openStoredDatabaseAt(deviceDirectory, applications, addressBookDomain,
                                       addressBookImagesPath, keybag);
    if (images) {
        if (images->warning) book->warnings.push_back(*images->warning);
        readContactPhotos(images->database.handle(), *book);
    } else if (images.error().kind != ErrorKind::NotInBackup) {
        book->warnings.push_back("Left out the contacts' photos: " + images.error().reason);
    }
    return book;
}

}  // namespace salvora
