// The address book as other programs will read it: names found by a handle written any way,
// and salvora-cli contacts read back by a vCard parser and a CSV reader of their own, from plain
// and encrypted backups whose newest contacts are only in the -wal.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "catalog/Catalog.h"
#include "sources/contacts/AddressBookNames.h"
#include "support/AddressBookWriter.h"
#include "support/BackupWriter.h"
#include "support/EncryptedBackup.h"
#include "support/FolderSnapshot.h"
#include "support/ManifestDatabaseBytes.h"
#include "support/PlistValue.h"
#include "support/ProcessRun.h"
#include "support/TemporaryFolder.h"

namespace salvora {
namespace {

struct Lookup {
    std::string region;
    std::string handle;
    std::optional<std::string> name;
};

class ContactNameLookup : public ::testing::TestWithParam<Lookup> {};

TEST_P(ContactNameLookup, FindsThePersonAsTheirNumberOrAddressIsWritten) {
    const ContactNames names({{"Ada", {"+49 151 1234567"}, {"Ada@Example.org"}},
                              {"Bob", {"+1 (202) 555-0147"}, {}}},
                             GetParam().region);
    EXPECT_EQ(names.nameOf(GetParam().handle), GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(
    Contacts, ContactNameLookup,
    ::testing::Values(Lookup{"DE", "+49 151 1234567", "Ada"}, Lookup{"DE", "01511234567", "Ada"},
                      Lookup{"DE", "+491511234567", "Ada"}, Lookup{"DE", "0151 / 123 45 67", "Ada"},
                      Lookup{"DE", "ada@example.ORG", "Ada"}, Lookup{"US", "+491511234567", "Ada"},
                      Lookup{"US", "(202) 555-0147", "Bob"}, Lookup{"DE", "+12025550147", "Bob"},
                      Lookup{"DE", "+491511234568", std::nullopt},
                      Lookup{"GB", "01511234567", std::nullopt},
                      Lookup{"", "01511234567", std::nullopt},
                      Lookup{"DE", "not a number", std::nullopt}));

class BackupContactNames : public ::testing::Test {
  protected:
    void writeBackup(bool addressBook, std::optional<std::string> ownNumber) {
        test::BackupWriter backup(device.directory);
        if (addressBook)
            test::writeAddressBook(test::JournalMode::WalWithLog,
                                   [&](const std::string& path, const std::string& contents) {
                                       backup.addManifestDbFile("HomeDomain", path, contents);
                                   });
        else
            backup.addManifestDbFile("HomeDomain", "Library/Preferences/a.plist", "x");
        if (ownNumber)
            test::PlistValue::dictionary({{"Phone Number", test::PlistValue::string(*ownNumber)}})
                .write(backup / "Info.plist", test::PlistFormat::Xml);
        catalog.buildCatalogForDevice(device);
    }

    Result<ContactNames> names() const {
        return readContactNames(device.directory, *device.applications, nullptr);
    }

    test::TemporaryFolder folder;
    DeviceRecord device{std::nullopt, std::nullopt, folder / "backup", nullptr};
    Catalog catalog;
};

TEST_F(BackupContactNames, ReadNumbersInTheCountryMostOfTheBookIsIn) {
    writeBackup(true, std::nullopt);
    const auto found = names();
    ASSERT_TRUE(found) << found.error().description();
    EXPECT_EQ(found->nameOf("01511234567"), "Ada King Lovelace");
    EXPECT_EQ(found->nameOf("0221 555000"), "Café Zoë GmbH");
    EXPECT_EQ(found->nameOf("JUERGEN@example.de"), "Jürgen Groß");
}

TEST_F(BackupContactNames, ReadNumbersInTheCountryOfThePhonesOwnNumber) {
    writeBackup(true, "+44 7700 900123");
    const auto found = names();
    ASSERT_TRUE(found) << found.error().description();
    EXPECT_EQ(found->nameOf("020 7946 0000"), "Ada King Lovelace");
    EXPECT_EQ(found->nameOf("01511234567"), std::nullopt);
    EXPECT_EQ(found->nameOf("+491511234567"), "Ada King Lovelace");
}

TEST_F(BackupContactNames, FailAsNotInBackupWithoutAnAddressBook) {
    writeBackup(false, std::nullopt);
    const auto found = names();
    ASSERT_FALSE(found);
    EXPECT_EQ(found.error().kind, ErrorKind::NotInBackup);
}

test::ProcessResult salvoraCli(const std::vector<std::string>& args) {
    return test::runProcess(SALVORA_CLI_PATH, args);
}

// What the independent readers found in the export.
nlohmann::json readBack(const std::string& destination) {
    const auto read = test::runProcess("/usr/bin/python3", {READ_CONTACTS_SCRIPT, destination});
    EXPECT_EQ(read.status, 0) << read.err;
    return nlohmann::json::parse(read.out);
}

using Value = std::vector<std::string>;  // property, TYPEs, custom label, value

class ContactsExport : public ::testing::TestWithParam<bool> {
  protected:
    ContactsExport() {
        auto add = [&](const std::string& path, const std::string& contents) {
            if (GetParam()) encrypted.addFile("HomeDomain", path, contents);
            else plain.addManifestDbFile("HomeDomain", path, contents);
        };
        test::writeAddressBook(test::JournalMode::WalWithLog, add);
        test::writeFile(folder / "password", encrypted.keybag().password);
    }

    std::vector<std::string> args(std::vector<std::string> more) const {
        std::vector<std::string> all = {"contacts", backup(), destination};
        if (GetParam()) all.insert(all.end(), {"--password-file", folder / "password"});
        all.insert(all.end(), more.begin(), more.end());
        return all;
    }
    std::string backup() const { return GetParam() ? encrypted.folder() : plain.folder(); }

    test::TemporaryFolder folder;
    test::BackupWriter plain{folder / "plain"};
    test::EncryptedBackup encrypted{folder / "encrypted"};
    std::string destination = folder / "dest";
};

TEST_P(ContactsExport, WritesEveryContactAsCardsARowEachAndAFileEachReplacingTheLastExport) {
    const auto before = test::folderSnapshot(backup());
    const auto run = salvoraCli(args({"--one-per-contact"}));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_NE(run.out.find("4 contacts"), std::string::npos) << run.out;
    EXPECT_EQ(test::folderSnapshot(backup()), before);

    const nlohmann::json found = readBack(destination);
    ASSERT_EQ(found["cards"].size(), 4u);
    const nlohmann::json& ada = found["cards"][0];
    EXPECT_EQ(ada["n"], Value({"Lovelace", "Ada", "King", "", ""}));
    EXPECT_EQ(ada["adr"], Value({"Hauptstraße 1", "Köln", "50667", "Deutschland"}));
    EXPECT_EQ(ada["categories"], Value({"Familie"}));
    EXPECT_EQ(ada["photo"], test::hexDigits(test::bytesOf(test::exampleContactPhoto())));
    for (const Value& value : std::vector<Value>{
             {"FN", "", "", "Ada King Lovelace"},
             {"BDAY", "", "", "1815-12-10"},
             {"TEL", "CELL", "", "+49 151 1234567"},
             {"TEL", "", "Boat", "030 1234567"},
             {"EMAIL", "HOME,INTERNET", "", "Ada@Example.org"},
             {"URL", "", "_$!<HomePage>!$_", "https://ada.example.org"},
             {"X-ABDATE", "", "_$!<Anniversary>!$_", "2010-06-01"},
             {"X-ABRELATEDNAMES", "", "_$!<Mother>!$_", "Anne Isabella"},
             {"X-SOCIALPROFILE", "TWITTER", "", "https://twitter.com/ada"},
             {"NOTE", "", "", "First line; with, punctuation\nSecond line"}})
        EXPECT_NE(std::find(ada["values"].begin(), ada["values"].end(), nlohmann::json(value)),
                  ada["values"].end())
            << nlohmann::json(value).dump() << " in " << ada["values"].dump();
    EXPECT_EQ(found["cards"][1]["org"], Value({"Café Zoë GmbH"}));
    EXPECT_EQ(found["cards"][2]["n"], Value({"Groß", "Jürgen", "", "", ""}));
    // Longer than a line: folded between UTF-8 sequences, never inside one.
    EXPECT_EQ(found["cards"][2]["values"][2],
              Value({"NOTE", "", "",
                     "Ein langer Hinweis über Jürgen, länger als eine Zeile einer Karte: äöü ÄÖÜ "
                     "ß € 🙂 und noch etwas mehr Text."}));

    std::vector<std::string> names;
    for (const auto& [name, cards] : found["files"].items()) {
        names.push_back(name);
        EXPECT_EQ(cards.size(), 1u) << name;
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Ada King Lovelace (2).vcf", "Ada King Lovelace.vcf",
                                               "Café Zoë GmbH.vcf", "Jürgen Groß.vcf"}));
    EXPECT_EQ(found["files"]["Ada King Lovelace.vcf"][0], ada);

    const nlohmann::json& rows = found["csv"];
    ASSERT_EQ(rows.size(), 5u);
    const auto column = [&](const std::string& header, std::size_t row) {
        const auto& headers = rows[0];
        const auto at = std::find(headers.begin(), headers.end(), header) - headers.begin();
        return rows[row][at].get<std::string>();
    };
    EXPECT_EQ(column("Name", 1), "Ada King Lovelace");
    EXPECT_EQ(column("Phones", 1), "Mobile: +49 151 1234567; Boat: 030 1234567");
    EXPECT_EQ(column("Addresses", 1), "Home: Hauptstraße 1, 50667 Köln, Deutschland");
    EXPECT_EQ(column("Note", 1), "First line; with, punctuation\nSecond line");
    EXPECT_EQ(column("Groups", 3), "Familie");
    EXPECT_EQ(column("Company", 2), "Café Zoë GmbH");

    // Again, without a file per contact: the earlier export is replaced whole.
    ASSERT_EQ(salvoraCli(args({})).status, 0);
    EXPECT_FALSE(std::filesystem::exists(destination + "/vcards"));
    EXPECT_EQ(readBack(destination)["cards"].size(), 4u);
}

INSTANTIATE_TEST_SUITE_P(Contacts, ContactsExport, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Encrypted" : "Plain"; });

TEST(ContactsExportWithoutAddressBook, SaysSoAndWritesNothing) {
    test::TemporaryFolder folder;
    test::BackupWriter backup(folder / "backup");
    backup.addManifestDbFile("HomeDomain", "Library/Preferences/a.plist", "x");
    const auto run = salvoraCli({"contacts", backup.folder(), folder / "dest"});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("no address book"), std::string::npos) << run.err;
    EXPECT_FALSE(std::filesystem::exists(folder / "dest"));
}

}  // namespace
}  // namespace salvora
