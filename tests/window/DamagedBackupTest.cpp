// A backup damaged in each layout says why it lists nothing, the same way in `salvora-cli apps
// --verbose` and in the tooltip of its row in the device table: the layout, then its first
// damage.
#include <QTableView>
#include <sstream>

#include "cli/Cli.h"
#include "foundation/Log.h"
#include "support/CliBackups.h"
#include "support/EncryptedBackup.h"
#include "support/SqlConnection.h"
#include "support/WindowTest.h"

namespace salvora::test {
namespace {

struct Damage {
    std::string name;
    // Writes the damaged backup into the folder; the password it needs, if any.
    std::optional<std::string> (*write)(const std::string& folder);
    std::string layout;  // "Manifest.mbdb"
    std::string damage;  // what its reader says of it: "cut off after 0 records"
    enum class Outcome {
        ListsNothing,
        ListsSomething,  // an ".mdinfo" keeps its ".mddata" reachable
        Fails,           // an encrypted catalogue that can't be read fails the listing
    };
    Outcome outcome = Outcome::ListsNothing;
};

DatabaseRecord recordOf(std::string domain, std::string path) {
    DatabaseRecord record;
    record.domain = std::move(domain);
    record.path = std::move(path);
    return record;
}

std::optional<std::string> cutManifestDatabase(const std::string& folder) {
    ManifestDatabaseBytes bytes =
        manifestDatabaseBytes({{sha1Key("HomeDomain", "a.txt"), recordOf("HomeDomain", "a.txt")}});
    // The records end inside the first one's domain.
    bytes.database.resize(databaseMagic.size() + 4);
    BackupWriter(folder).writeManifestDatabase(bytes);
    return std::nullopt;
}

std::optional<std::string> cutUnindexedDatabase(const std::string& folder) {
    std::vector<std::byte> bytes =
        unindexedDatabaseBytes({recordOf("HomeDomain", "Library/a.txt")});
    bytes.resize(bytes.size() - 4);
    writeFile(folder + "/Manifest.mbdb", bytes);
    return std::nullopt;
}

std::optional<std::string> undecodableMdbackup(const std::string& folder) {
    BackupWriter(folder).addMdbackupFile("1.mdbackup", "Library/a.txt", "a");
    writeFile(folder + "/1.mdbackup", "<?xml version=\"1.0\"?><plist><dict>");
    return std::nullopt;
}

std::optional<std::string> undecodableMdinfo(const std::string& folder) {
    BackupWriter(folder).addMdinfoFile("1.mdinfo", mdinfo("HomeDomain", "a.txt"), "a");
    writeFile(folder + "/1.mdinfo", "not a property list");
    return std::nullopt;
}

std::optional<std::string> textAsManifestDb(const std::string& folder) {
    writeFile(folder + "/Manifest.db", "this is not a database, it is text");
    return std::nullopt;
}

std::optional<std::string> tablelessManifestDb(const std::string& folder) {
    BackupWriter(folder).addManifestDbFile("HomeDomain", "a.txt", "a");
    execute(openForWriting(folder + "/Manifest.db").get(), "DROP TABLE Files");
    return std::nullopt;
}

std::optional<std::string> textAsEncryptedManifestDb(const std::string& folder) {
    EncryptedBackup backup(folder);
    writeEncryptedManifest(folder, backup.keybag(), bytesOf("this is not a database, it is text"));
    return backup.keybag().password;
}

class DamagedBackup : public WindowTest, public ::testing::WithParamInterface<Damage> {
  protected:
    LogCapture quiet;
};

TEST_P(DamagedBackup, AppsVerboseAndTheDeviceTooltipSayWhyNothingIsListed) {
    const std::string folder = home.addBackup(BackupRoot::Primary, "d", "Dana");
    const std::optional<std::string> password = GetParam().write(folder);

    std::istringstream in(password.value_or(""));
    std::ostringstream out;
    std::ostringstream err;
    std::vector<std::string> args{"apps", folder, "--verbose"};
    if (password) args.push_back("--password-stdin");
    const int status = cli::run(args, out, err, false, {&in, {}});
    const Damage& damage = GetParam();
    const std::string why = damage.layout + ": " + damage.damage;
    if (damage.outcome == Damage::Outcome::Fails) {
        EXPECT_EQ(status, cli::UsageError);
        EXPECT_TRUE(err.str().ends_with(": " + damage.damage + "\n")) << err.str();
    } else {
        EXPECT_EQ(status, cli::Success) << err.str();
        // "salvora-cli: Manifest.mbdb: 0 records read, 0 skipped, cut off after 0 records"
        EXPECT_NE(err.str().find("salvora-cli: " + damage.layout + ": "), std::string::npos)
            << err.str();
        EXPECT_NE(err.str().find(", " + damage.damage + "\n"), std::string::npos) << err.str();
    }

    if (password) panels.passwordAnswers = {*password};
    openWindow();
    choose(0);
    const QString tooltip = deviceTable().model()->index(0, 0).data(Qt::ToolTipRole).toString();
    if (damage.outcome == Damage::Outcome::ListsSomething) {
        EXPECT_FALSE(out.str().empty());
        EXPECT_EQ(err.str().find("lists nothing"), std::string::npos) << err.str();
        EXPECT_EQ(tooltip, QString::fromStdString(folder));
        return;
    }
    EXPECT_EQ(out.str(), "");
    if (damage.outcome == Damage::Outcome::ListsNothing) {
        EXPECT_NE(err.str().find("salvora-cli: the backup lists nothing: " + why + "\n"),
                  std::string::npos)
            << err.str();
    }
    EXPECT_EQ(tooltip, QString::fromStdString(folder + "\nLists nothing: " + why));
}

INSTANTIATE_TEST_SUITE_P(
    EachLayout, DamagedBackup,
    ::testing::Values(
        Damage{"ManifestDatabase", cutManifestDatabase, "Manifest.mbdx + Manifest.mbdb",
               "the records end before 1 record of the index"},
        Damage{"UnindexedDatabase", cutUnindexedDatabase, "Manifest.mbdb",
               "cut off after 0 records"},
        Damage{"Mdbackup", undecodableMdbackup, ".mdbackup", "1.mdbackup does not decode"},
        Damage{"Mdinfo", undecodableMdinfo, ".mdinfo", "1.mdinfo does not decode",
               Damage::Outcome::ListsSomething},
        Damage{"ManifestDb", textAsManifestDb, "Manifest.db", "file is not a database"},
        Damage{"ManifestDbWithoutFiles", tablelessManifestDb, "Manifest.db",
               "it has no table Files"},
        Damage{"EncryptedManifestDb", textAsEncryptedManifestDb, "Manifest.db",
               "It does not decrypt to an SQLite database", Damage::Outcome::Fails}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace salvora::test
