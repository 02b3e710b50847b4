// salvora-cli summary in-process on plain backups of every layout and encrypted ones of every
// catalogue: the device, the catalogue's counts and what each source's database holds, counted;
// and on a backup of every source, each count as its export reads it.
#include <gtest/gtest.h>

#include <filesystem>

#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/Cli.h"
#include "support/AddressBookWriter.h"
#include "support/CalendarWriter.h"
#include "support/CallHistoryWriter.h"
#include "support/CameraRollWriter.h"
#include "support/ChatStorageWriter.h"
#include "support/CliBackups.h"
#include "support/EncryptedBackup.h"
#include "support/SmsDatabaseWriter.h"

namespace salvora::cli {
namespace {
using nlohmann::json;
using test::JournalMode;

using FileAdder = std::function<void(const std::string& domain, const std::string& path,
                                     const std::string& contents)>;

struct Case {
    const char* name;
    std::optional<test::Layout> plain;
    std::optional<test::EncryptedCatalogue> encrypted;
};

void PrintTo(const Case& each, std::ostream* out) { *out << each.name; }

class SummaryOfEveryLayout : public ::testing::TestWithParam<Case> {
  protected:
    SummaryOfEveryLayout() {
        std::filesystem::create_directories(backup);
        test::PlistValue::dictionary({{"Device Name", test::PlistValue::string("Ada’s iPhone")},
                                      {"Product Type", test::PlistValue::string("iPhone15,2")},
                                      {"Product Version", test::PlistValue::string("17.1")}})
            .write(backup + "/Info.plist", test::PlistFormat::Xml);
    }

    // The file added as the layout records files of that domain.
    FileAdder adder() {
        if (GetParam().encrypted) {
            encrypted.emplace(backup, *GetParam().encrypted);
            test::writeFile(folder / "password", encrypted->keybag().password);
            return
                [this](const std::string& domain, const std::string& path,
                       const std::string& contents) { encrypted->addFile(domain, path, contents); };
        }
        plain.emplace(backup);
        return [this](const std::string& domain, const std::string& path,
                      const std::string& contents) {
            const std::string name = std::to_string(++stored);
            switch (*GetParam().plain) {
                case test::Layout::ManifestDatabase:
                    plain->addManifestDatabaseFile(domain, path, contents);
                    break;
                case test::Layout::UnindexedDatabase:
                    plain->addUnindexedDatabaseFile(domain, path, contents);
                    break;
                case test::Layout::Mdbackup:
                    plain->addMdbackupFile(name + ".mdbackup", path, contents);
                    break;
                case test::Layout::Mdinfo:
                    plain->addMdinfoFile(name + ".mdinfo", test::mdinfo(domain, path), contents);
                    break;
                case test::Layout::ManifestDb:
                    plain->addManifestDbFile(domain, path, contents);
                    break;
            }
        };
    }

    std::pair<int, std::string> cli(std::vector<std::string> args) const {
        if (encrypted) args.insert(args.end(), {"--password-file", folder / "password"});
        std::ostringstream out, err;
        const int status = run(args, out, err);
        EXPECT_EQ(err.str(), "");
        return {status, out.str()};
    }

    test::TemporaryFolder folder;
    std::string backup = folder / "backup";
    std::optional<test::BackupWriter> plain;
    std::optional<test::EncryptedBackup> encrypted;
    int stored = 0;
};

// Messages' database with its attachment and the address book, as the layout records them.
void writeMessagesAndContacts(const FileAdder& add, JournalMode journal) {
    test::writeMessages(
        test::SmsGeneration::AttributedBodies, journal,
        [&](const std::string& domain, const std::string& path, const std::string& contents,
            std::uint32_t) { add(domain, path, contents); });
    test::writeAddressBook(journal, [&](const std::string& path, const std::string& contents) {
        add("HomeDomain", path, contents);
    });
}

TEST_P(SummaryOfEveryLayout, TellsTheDeviceTheCatalogueAndWhatItsDatabasesHold) {
    const FileAdder add = adder();
    writeMessagesAndContacts(add, JournalMode::Rollback);
    test::writeCalendarDatabase(JournalMode::Rollback,
                                [&](const std::string& path, const std::string& contents) {
                                    add("HomeDomain", path, contents);
                                });

    const auto [status, out] = cli({"summary", backup, "--json"});
    ASSERT_EQ(status, 0);
    const json summary = json::parse(out);
    const auto [appsStatus, apps] = cli({"apps", backup, "--json"});
    ASSERT_EQ(appsStatus, 0);
    EXPECT_EQ(summary.at("name"), "Ada’s iPhone");
    EXPECT_EQ(summary.at("model"), "iPhone15,2");
    EXPECT_EQ(summary.at("iosVersion"), "17.1");
    EXPECT_TRUE(summary.at("date").is_string());
    EXPECT_EQ(summary.at("encrypted"), GetParam().encrypted.has_value());
    EXPECT_EQ(summary.at("applications"), json::parse(apps).size());
    // sms.db, its attachment, the address book with its images, the calendar.
    EXPECT_EQ(summary.at("files"), 5);
    EXPECT_GT(summary.at("sizeOnDisk").get<std::uint64_t>(), 0u);
    EXPECT_EQ(summary.at("exportable"), json::parse(R"({
        "photos": {"held": false},
        "messages": {"held": true, "conversations": 3, "messages": 12},
        "whatsapp": {"held": false},
        "contacts": {"held": true, "contacts": 4},
        "calls": {"held": false},
        "calendars": {"held": true, "calendars": 2, "events": 5}})"));

    const auto [textStatus, text] = cli({"summary", backup});
    ASSERT_EQ(textStatus, 0);
    EXPECT_NE(text.find("Device:            Ada’s iPhone\nModel:             iPhone15,2\n"
                        "iOS:               17.1\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find(std::string("Encrypted:         ") + (GetParam().encrypted ? "yes" : "no") +
                        "\n"),
              std::string::npos);
    EXPECT_NE(text.find("Messages:          3 conversations, 12 messages\n"
                        "WhatsApp chats:    not in this backup\n"
                        "Contacts:          4 contacts\n"
                        "Calls:             not in this backup\n"
                        "Calendars:         2 calendars, 5 events\n"),
              std::string::npos)
        << text;
}

INSTANTIATE_TEST_SUITE_P(
    , SummaryOfEveryLayout,
    ::testing::Values(
        Case{"ManifestDatabase", test::Layout::ManifestDatabase, std::nullopt},
        Case{"UnindexedDatabase", test::Layout::UnindexedDatabase, std::nullopt},
        Case{"Mdbackup", test::Layout::Mdbackup, std::nullopt},
        Case{"Mdinfo", test::Layout::Mdinfo, std::nullopt},
        Case{"ManifestDb", test::Layout::ManifestDb, std::nullopt},
        Case{"EncryptedManifestDb", std::nullopt, test::EncryptedCatalogue::EncryptedManifestDb},
        Case{"EncryptedPlainManifestDb", std::nullopt, test::EncryptedCatalogue::PlainManifestDb},
        Case{"EncryptedUnindexedDatabase", std::nullopt,
             test::EncryptedCatalogue::UnindexedDatabase}),
    [](const auto& info) { return std::string(info.param.name); });

// Every source at once, its newest rows only in the -wal: each count is what its export takes.
class SummaryOfEverySource : public SummaryOfEveryLayout {};

TEST_P(SummaryOfEverySource, CountsWhatEachExportTakes) {
    const FileAdder add = adder();
    writeMessagesAndContacts(add, JournalMode::WalWithLog);
    test::writeWhatsAppContainer([&](const std::string& path, const std::string& contents) {
        add("AppDomainGroup-group.net.whatsapp.WhatsApp.shared", path, contents);
    });
    test::writeCameraRoll(
        test::exampleCameraRoll(test::PhotoSchema::Asset, test::LibraryFile::Database),
        [&](const std::string& path, const std::string& contents, std::uint32_t) {
            add("CameraRollDomain", path, contents);
        });
    test::writeCallHistoryStore(JournalMode::WalWithLog,
                                [&](const std::string& path, const std::string& contents) {
                                    add("HomeDomain", path, contents);
                                });

    const auto [status, out] = cli({"summary", backup, "--json"});
    ASSERT_EQ(status, 0);
    // Photos: the library's assets neither hidden nor deleted; WhatsApp: every chat but the
    // status updates.
    EXPECT_EQ(json::parse(out).at("exportable"), json::parse(R"({
        "photos": {"held": true, "photos": 4, "videos": 1},
        "messages": {"held": true, "conversations": 3, "messages": 12},
        "whatsapp": {"held": true, "chats": 3, "messages": 21},
        "contacts": {"held": true, "contacts": 4},
        "calls": {"held": true, "calls": 5},
        "calendars": {"held": false}})"));
}

INSTANTIATE_TEST_SUITE_P(, SummaryOfEverySource,
                         ::testing::Values(Case{"Plain", test::Layout::ManifestDb, std::nullopt},
                                           Case{"Encrypted", std::nullopt,
                                                test::EncryptedCatalogue::EncryptedManifestDb}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace salvora::cli
