// Saving onto the drives people carry files to other computers on: a real exFAT and a real NTFS
// file system, mounted for the test, take every file of a backup full of names they refuse,
// under the safe names expected, byte for byte and dated; through saveAll and salvora-cli.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "catalog/Catalog.h"
#include "foundation/FileQueries.h"
#include "recovery/Recovery.h"
#include "support/BackupWriter.h"
#include "support/CameraRollWriter.h"
#include "support/MountedDrive.h"
#include "support/ProcessRun.h"

namespace salvora {
namespace {
using test::DriveFormat;

constexpr std::uint64_t PhoneTime = 1'600'000'000;
const std::string application = "com.example.drive";
const std::string longStem(296, 'L');

// Each phone path of the backup, with the path it takes on each drive: exFAT (through FUSE)
// refuses only the characters and ignores letter case; NTFS with Windows names refuses the
// endings and device names too but tells letter case apart.
struct Expected {
    std::string phone;
    std::string exfat;
    std::string ntfs;
};

const std::vector<Expected> names = {
    {"Documents/ok.txt", "Documents/ok.txt", "Documents/ok.txt"},
    {"Documents/a:b.txt", "Documents/a：b.txt", "Documents/a：b.txt"},
    {"Documents/what?.txt", "Documents/what？.txt", "Documents/what？.txt"},
    {"Documents/star*.txt", "Documents/star＊.txt", "Documents/star＊.txt"},
    {"Documents/AUX", "Documents/AUX", "Documents/AUX_"},
    {"Documents/con.txt", "Documents/con.txt", "Documents/con_.txt"},
    {"Documents/end.", "Documents/end.", "Documents/end._"},
    {"Documents/trail ", "Documents/trail ", "Documents/trail _"},
    {"Documents/" + longStem + ".txt", "Documents/" + longStem.substr(0, 251) + ".txt",
     "Documents/" + longStem.substr(0, 251) + ".txt"},
    {"Documents/Photo.JPG", "Documents/Photo.JPG", "Documents/Photo.JPG"},
    {"Documents/photo.jpg", "Documents/photo (2).jpg", "Documents/photo.jpg"},
    {"x:y/inside.txt", "x：y/inside.txt", "x：y/inside.txt"},
};

std::string contentsOf(const std::string& phone) { return "the bytes of " + phone; }

class DriveNamesTest : public testing::TestWithParam<DriveFormat> {
  protected:
    void SetUp() override {
        if (drive.unavailable()) GTEST_SKIP() << "no drive to mount: " << *drive.unavailable();
        for (std::size_t index = 0; index < names.size(); ++index)
            backup.addManifestDbFile("AppDomain-" + application, names[index].phone,
                                     contentsOf(names[index].phone), PhoneTime + 2 * index);
    }

    std::string expected(const Expected& name) const {
        return GetParam() == DriveFormat::Exfat ? name.exfat : name.ntfs;
    }

    // Every file is at its expected path below `folder`, whole and dated, and nothing else.
    void expectEveryFileBelow(const std::string& folder) const {
        for (std::size_t index = 0; index < names.size(); ++index) {
            const std::string path = folder + "/" + expected(names[index]);
            EXPECT_EQ(test::readText(path), contentsOf(names[index].phone)) << path;
            EXPECT_EQ(test::modificationSeconds(path), PhoneTime + 2 * index) << path;
        }
        EXPECT_EQ(directoryContents(folder + "/Documents")->size(), names.size() - 1);
    }

    test::MountedDrive drive{GetParam()};
    test::TemporaryFolder folder;
    test::BackupWriter backup{folder / "backup"};
};

TEST_P(DriveNamesTest, SaveAllAndExtractAllSaveEveryFileAndSayWhereEachRenamedOneWent) {
    Catalog catalog;
    DeviceRecord device{"Phone", std::nullopt, backup.folder(), nullptr};
    catalog.buildCatalogForDevice(device);
    const std::string destination = drive.path() + "/saved";
    const auto outcomes =
        saveAll(backup.folder(), device.applications->at(application)->files, destination);
    ASSERT_EQ(outcomes.size(), names.size());
    for (std::size_t index = 0; index < names.size(); ++index) {
        EXPECT_FALSE(outcomes[index].error) << outcomes[index].error->description();
        EXPECT_EQ(outcomes[index].savedAs.value_or(""),
                  names[index].phone == expected(names[index])
                      ? ""
                      : destination + "/" + expected(names[index]));
    }
    expectEveryFileBelow(destination);

    auto extracted = test::runProcess(SALVORA_CLI_PATH,
                                      {"extract", backup.folder(), "--all", drive.path() + "/all"});
    EXPECT_EQ(extracted.status, 0) << extracted.err;
    EXPECT_EQ(extracted.out, "Saved 12 files, 0 failed\n");
    const std::string saved = drive.path() + "/all/" + application;
    std::string told;
    for (const Expected& name : names)
        if (name.phone != expected(name))
            told += "salvora-cli: " + saved + "/" + name.phone + ": saved as " + saved + "/" +
                    expected(name) + "\n";
    EXPECT_EQ(extracted.err, told);
    expectEveryFileBelow(saved);

    // Portable names are those NTFS takes, kept apart in letter case on every drive.
    const std::string portable = drive.path() + "/portable";
    test::runProcess(SALVORA_CLI_PATH,
                     {"extract", backup.folder(), application, portable, "--portable-names"});
    for (const Expected& name : names)
        EXPECT_TRUE(fileExists(portable + "/" +
                               (name.phone.ends_with("photo.jpg") ? name.exfat : name.ntfs)));
}

TEST_P(DriveNamesTest, PhotosAndAlbumsTakeSafeNamesAndAnExportAgainAddsNothing) {
    test::CameraRollDescription roll;
    roll.assets = {{"DCIM/100APPLE", "IMG_0001.HEIC", "Trip: 12:30.HEIC", 711'115'200}};
    roll.albums = {{"Trip: Paris", 2, {0}}};
    test::writeCameraRoll(roll, [&](const std::string& path, const std::string& contents,
                                    std::uint32_t lastModified) {
        backup.addManifestDbFile("CameraRollDomain", path, contents, lastModified);
    });
    const std::string destination = drive.path() + "/photos";
    const std::vector<std::string> args = {"photos", backup.folder(), destination, "--albums"};
    // The dated folders in UTC for this test's processes alone: the tests after it in this
    // process expect the zone it began in.
    struct ZoneForChildren {
        std::string before = std::getenv("TZ") != nullptr ? std::getenv("TZ") : "";
        ZoneForChildren() { ::setenv("TZ", "UTC", 1); }
        ~ZoneForChildren() { ::setenv("TZ", before.c_str(), 1); }
    } utc;
    auto exported = test::runProcess(SALVORA_CLI_PATH, args);
    EXPECT_EQ(exported.status, 0) << exported.err;
    EXPECT_NE(exported.err.find("/Albums/Trip: Paris/Trip： 12：30.HEIC: saved as " + destination +
                                "/Albums/Trip： Paris/Trip： 12：30.HEIC\n"),
              std::string::npos);
    EXPECT_EQ(test::readText(destination + "/2023/07/Trip： 12：30.HEIC"), "IMG_0001.HEIC");
    EXPECT_EQ(test::runProcess(SALVORA_CLI_PATH, args).status, 0);
    EXPECT_EQ(directoryContents(destination + "/2023/07")->size(), 1u);
    EXPECT_EQ(directoryContents(destination + "/Albums/Trip： Paris")->size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Drives, DriveNamesTest,
                         testing::Values(DriveFormat::Exfat, DriveFormat::Ntfs),
                         [](const auto& info) {
                             return info.param == DriveFormat::Exfat ? "Exfat" : "Ntfs";
                         });

}  // namespace
}  // namespace salvora
