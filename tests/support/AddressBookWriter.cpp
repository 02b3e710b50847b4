#include "support/AddressBookWriter.h"

#include "support/ManifestDatabaseBytes.h"
#include "support/TemporaryFolder.h"

namespace salvora::test {

const std::string addressBookSchema = R"(
CREATE TABLE ABPerson (ROWID INTEGER PRIMARY KEY AUTOINCREMENT, First TEXT, Last TEXT,
    Middle TEXT, FirstPhonetic TEXT, MiddlePhonetic TEXT, LastPhonetic TEXT, Organization TEXT,
    Department TEXT, Note TEXT, Kind INTEGER, Birthday TEXT, JobTitle TEXT, Nickname TEXT,
    Prefix TEXT, Suffix TEXT, CreationDate INTEGER, ModificationDate INTEGER);
CREATE TABLE ABMultiValue (UID INTEGER PRIMARY KEY, record_id INTEGER, property INTEGER,
    identifier INTEGER, label INTEGER, value TEXT);
CREATE TABLE ABMultiValueLabel (value TEXT, UNIQUE(value));
CREATE TABLE ABMultiValueEntry (parent_id INTEGER, key INTEGER, value TEXT);
CREATE TABLE ABMultiValueEntryKey (value TEXT, UNIQUE(value));
CREATE TABLE ABGroup (ROWID INTEGER PRIMARY KEY AUTOINCREMENT, Name TEXT);
CREATE TABLE ABGroupMembers (UID INTEGER PRIMARY KEY, group_id INTEGER, member_type INTEGER,
    member_id INTEGER);
INSERT INTO ABMultiValueLabel (ROWID, value) VALUES (1, '_$!<Mobile>!$_'), (2, 'Boat'),
    (3, '_$!<Home>!$_'), (4, '_$!<Work>!$_'), (5, '_$!<HomePage>!$_'), (6, '_$!<Anniversary>!$_'),
    (7, '_$!<Mother>!$_'), (8, 'iPhone');
INSERT INTO ABMultiValueEntryKey (ROWID, value) VALUES (1, 'Street'), (2, 'City'), (3, 'ZIP'),
    (4, 'Country'), (5, 'CountryCode'), (6, 'service'), (7, 'username'), (8, 'url');
INSERT INTO ABGroup (ROWID, Name) VALUES (1, 'Familie');
)";

const std::string addressBookImagesSchema =
    "CREATE TABLE ABThumbnailImage (ROWID INTEGER PRIMARY KEY, record_id INTEGER, format "
    "INTEGER, data BLOB);"
    "CREATE TABLE ABFullSizeImage (ROWID INTEGER PRIMARY KEY, record_id INTEGER, data BLOB);";

namespace {

const std::string older = addressBookSchema + R"(
INSERT INTO ABPerson (ROWID, First, Last, Middle, Organization, JobTitle, Note, Kind, Birthday,
    CreationDate, ModificationDate) VALUES
    (1, 'Ada', 'Lovelace', 'King', 'Analytical Engines', 'Programmer',
     'First line; with, punctuation' || char(10) || 'Second line', 0, '-5840035200', 700000000,
     700000100),
    (2, NULL, NULL, NULL, 'Café Zoë GmbH', NULL, NULL, 1, NULL, NULL, NULL);
INSERT INTO ABMultiValue (UID, record_id, property, identifier, label, value) VALUES
    (1, 1, 3, 0, 1, '+49 151 1234567'), (2, 1, 3, 1, 2, '030 1234567'),
    (3, 1, 4, 0, 3, 'Ada@Example.org'), (4, 1, 5, 0, 3, NULL),
    (5, 1, 22, 0, 5, 'https://ada.example.org'), (6, 1, 12, 0, 6, '297043200'),
    (7, 1, 23, 0, 7, 'Anne Isabella'), (8, 1, 46, 0, NULL, NULL),
    (9, 2, 3, 0, 4, '+49 221 555000');
INSERT INTO ABMultiValueEntry (parent_id, key, value) VALUES
    (4, 1, 'Hauptstraße 1'), (4, 2, 'Köln'), (4, 3, '50667'), (4, 4, 'Deutschland'),
    (4, 5, 'de'), (8, 6, 'twitter'), (8, 7, 'ada'), (8, 8, 'https://twitter.com/ada');
INSERT INTO ABGroupMembers (group_id, member_type, member_id) VALUES (1, 0, 1);
)";

const std::string newer = R"(
INSERT INTO ABPerson (ROWID, First, Last, Middle, Note, Kind) VALUES
    (3, 'Jürgen', 'Groß', NULL, 'Ein langer Hinweis über Jürgen, länger als eine Zeile einer Karte: ' ||
     'äöü ÄÖÜ ß € 🙂 und noch etwas mehr Text.', 0),
    (4, 'Ada', 'Lovelace', 'King', NULL, 0);
INSERT INTO ABMultiValue (UID, record_id, property, identifier, label, value) VALUES
    (10, 3, 4, 0, NULL, 'juergen@example.de'), (11, 4, 3, 0, 8, '+44 20 7946 0000');
INSERT INTO ABGroupMembers (group_id, member_type, member_id) VALUES (1, 0, 3);
)";

}  // namespace

std::string exampleContactPhoto() {
    std::string photo = "\xFF\xD8\xFF\xE0";
    for (int index = 0; index < 300; ++index) photo += static_cast<char>(index * 7);
    return photo + "\xFF\xD9";
}

void writeAddressBook(JournalMode journal, const HomeFileAdder& addFile, bool withPhotos) {
    addDatabaseFiles("Library/AddressBook/AddressBook.sqlitedb",
                     databaseFiles(journal, older, newer), addFile);
    if (!withPhotos) return;
    const std::string images =
        addressBookImagesSchema +
        "INSERT INTO ABThumbnailImage (record_id, format, data) VALUES (1, 0, X'FFD8FFD9');"
        "INSERT INTO ABFullSizeImage (record_id, data) VALUES (1, X'" +
        hexDigits(bytesOf(exampleContactPhoto())) + "');";
    addDatabaseFiles("Library/AddressBook/AddressBookImages.sqlitedb",
                     databaseFiles(JournalMode::Rollback, images, ""), addFile);
}

}  // namespace salvora::test
