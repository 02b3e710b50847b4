// The real salvora-cli process on a backup of every layout.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "support/CliBackups.h"
#include "support/FixtureHome.h"
#include "support/FolderSnapshot.h"
#include "support/ProcessRun.h"

namespace salvora {
namespace {
using test::Layout;

test::ProcessResult salvoraCli(const std::vector<std::string>& args) {
    return test::runProcess(SALVORA_CLI_PATH, args);
}

class EveryLayout : public ::testing::TestWithParam<Layout> {
  protected:
    test::TemporaryFolder folder;
    std::string backupFolder = folder / "backup";
    test::LayoutBackup backup = test::writeLayoutBackup(backupFolder, GetParam());
    test::TemporaryFolder destination;
};

TEST_P(EveryLayout, ListsAndExtractsTheStoredBytesAndLeavesTheBackupAsItWas) {
    const auto before = test::folderSnapshot(backupFolder);

    auto files = salvoraCli({"files", backupFolder, backup.application, "--json"});
    EXPECT_EQ(files.status, 0) << files.err;
    auto listed = nlohmann::json::parse(files.out);
    ASSERT_EQ(listed.size(), backup.files.size()) << files.out;
    for (std::size_t index = 0; index < backup.files.size(); ++index)
        EXPECT_EQ(listed[index]["fullpath"], backup.files[index].fullpath);

    auto extracted = salvoraCli({"extract", backupFolder, backup.application, destination / "app"});
    EXPECT_EQ(extracted.status, 0);
    EXPECT_EQ(extracted.out, "Saved 2 files, 0 failed\n");
    EXPECT_EQ(extracted.err, "");
    for (const auto& file : backup.files)
        EXPECT_EQ(test::readText(destination / "app/" + file.fullpath), file.contents);

    auto one = salvoraCli({"extract-file", backupFolder, backup.application,
                           backup.files[1].fullpath, destination / "one"});
    EXPECT_EQ(one.status, 0) << one.err;
    EXPECT_EQ(test::readText(destination / "one"), backup.files[1].contents);

    auto again = salvoraCli({"extract", backupFolder, "--all", destination / "all"});
    EXPECT_EQ(again.status, 0) << again.err;
    auto twice = salvoraCli({"extract", backupFolder, "--all", destination / "all"});
    // The copy way never replaces; the write way does.
    EXPECT_EQ(twice.status, GetParam() == Layout::Mdbackup ? 0 : 1);

    EXPECT_EQ(test::folderSnapshot(backupFolder), before);
}

INSTANTIATE_TEST_SUITE_P(Cli, EveryLayout,
                         ::testing::Values(Layout::ManifestDatabase, Layout::UnindexedDatabase,
                                           Layout::Mdbackup, Layout::Mdinfo, Layout::ManifestDb),
                         [](const auto& info) { return test::layoutName(info.param); });

TEST(CliProcess, DevicesFromTheHomeVersionAndUsageError) {
    test::FixtureHome home;
    std::string folder = home.addBackup(test::BackupRoot::Mac, "mac", "Mac Phone");
    test::writeLayoutBackup(folder, Layout::ManifestDb);
    auto devices = salvoraCli({"devices"});
    EXPECT_EQ(devices.status, 0);
    EXPECT_TRUE(devices.out.starts_with("1\tMac Phone\t")) << devices.out;
    EXPECT_TRUE(devices.out.ends_with("\t" + folder + "\n")) << devices.out;

    EXPECT_EQ(salvoraCli({"apps", "1"}).out, "com.example.notes\tNotes\t2\n");
    EXPECT_EQ(salvoraCli({"--version"}).out, "salvora-cli " SALVORA_VERSION "\n");
    auto usage = salvoraCli({"extract", "1"});
    EXPECT_EQ(usage.status, 2);
    EXPECT_NE(usage.err, "");
}

}  // namespace
}  // namespace salvora
