#include "catalog/layouts/mdbackup/MdbackupReader.h"

#include <gtest/gtest.h>

#include "support/BackupWriter.h"
#include "support/CatalogInspection.h"
#include "support/TemporaryFolder.h"

namespace salvora {
namespace {
using test::applicationIn;
using test::BackupWriter;
using test::PlistFormat;
using test::PlistValue;

ApplicationMap read(const BackupWriter& backup, const std::vector<std::string>& names) {
    ApplicationMap applications;
    addMdbackupFiles(names, backup.folder(), applications);
    return applications;
}

class MdbackupFormats : public testing::TestWithParam<PlistFormat> {};

TEST_P(MdbackupFormats, FirstComponentOfThePathNamesTheApplication) {
    test::TemporaryFolder folder;
    BackupWriter backup(folder.path());
    backup.addMdbackupFile("a1.mdbackup", "Library/Preferences/a.plist", "contents", GetParam());

    ApplicationMap applications = read(backup, {"a1.mdbackup"});
    ASSERT_EQ(test::applicationNames(applications), std::vector<std::string>{"Library"});
    const FileRecord& file = applicationIn(applications, "Library").files.at(0);
    EXPECT_EQ(file.name(), "a1.mdbackup");
    EXPECT_EQ(file.fullpath(), "Library/Preferences/a.plist");
    EXPECT_EQ(file.oldVersion(), true);
}

INSTANTIATE_TEST_SUITE_P(Formats, MdbackupFormats,
                         testing::Values(PlistFormat::Xml, PlistFormat::Binary));

TEST(MdbackupReader, FilesSharingAFirstComponentJoinOneApplicationInListOrder) {
    test::TemporaryFolder folder;
    BackupWriter backup(folder.path());
    backup.addMdbackupFile("z.mdbackup", "Media/DCIM/1.jpg", "1");
    backup.addMdbackupFile("a.mdbackup", "Media/Recordings/2.m4a", "2");
    backup.addMdbackupFile("m.mdbackup", "single", "3");

    ApplicationMap applications = read(backup, {"z.mdbackup", "m.mdbackup", "a.mdbackup"});
    EXPECT_EQ(test::storedNames(applicationIn(applications, "Media")),
              (std::vector<std::string>{"z.mdbackup", "a.mdbackup"}));
    EXPECT_EQ(test::storedNames(applicationIn(applications, "")),
              (std::vector<std::string>{"m.mdbackup"}));
}

struct PathCase {
    std::string path;
    std::string application;
};

class MdbackupApplicationName : public testing::TestWithParam<PathCase> {};

TEST_P(MdbackupApplicationName, DerivationAlwaysEnds) {
    EXPECT_EQ(applicationNameForMdbackupPath(GetParam().path), GetParam().application);
}

INSTANTIATE_TEST_SUITE_P(Paths, MdbackupApplicationName,
                         testing::Values(PathCase{"Library/Preferences/a.plist", "Library"},
                                         PathCase{"Library/a", "Library"}, PathCase{"a.plist", ""},
                                         PathCase{"", ""}, PathCase{"Library/", ""},
                                         PathCase{"/Library/Preferences/a.plist", "Library"},
                                         PathCase{"/a.plist", ""}, PathCase{"/", ""},
                                         PathCase{"///", ""}, PathCase{"//x//y", "x"},
                                         PathCase{"a//b/c", "a"}, PathCase{"../x/y", ".."}));

TEST(MdbackupReader, PathMissingOrOfAnotherKindFilesUnderTheEmptyName) {
    test::TemporaryFolder folder;
    BackupWriter backup(folder.path());
    backup.addMdbackupFile("none.mdbackup", std::nullopt, "contents");
    PlistValue::dictionary(
        {{"Path", PlistValue::integer(7)}, {"Data", PlistValue::data(test::bytesOf("x"))}})
        .write(backup / "number.mdbackup", PlistFormat::Binary);
    backup.addMdbackupFile("bytes.mdbackup", "Library/\xFF", "contents");

    ApplicationMap applications =
        read(backup, {"none.mdbackup", "number.mdbackup", "bytes.mdbackup"});
    const ApplicationRecord& unknown = applicationIn(applications, "");
    EXPECT_EQ(test::storedNames(unknown),
              (std::vector<std::string>{"none.mdbackup", "number.mdbackup", "bytes.mdbackup"}));
    EXPECT_EQ(test::fullpaths(unknown),
              (std::vector<std::optional<std::string>>{std::nullopt, std::nullopt, std::nullopt}));
    EXPECT_EQ(unknown.files[0].oldVersion(), true);
}

TEST(MdbackupReader, ListsWithoutContentsToGiveBackAreSkipped) {
    test::TemporaryFolder folder;
    BackupWriter backup(folder.path());
    test::writeFile(backup / "garbage.mdbackup", "not a property list");
    PlistValue::array({PlistValue::string("Path")})
        .write(backup / "array.mdbackup", PlistFormat::Xml);
    test::writeFile(backup / "empty.mdbackup", "");
    backup.addMdbackupFile("good.mdbackup", "Library/a", "contents");

    ApplicationMap applications =
        read(backup, {"garbage.mdbackup", "array.mdbackup", "missing.mdbackup", "empty.mdbackup",
                      "good.mdbackup"});
    EXPECT_EQ(test::fileCount(applications), 1u);
    EXPECT_EQ(applicationIn(applications, "Library").files.at(0).name(), "good.mdbackup");
}

}  // namespace
}  // namespace salvora
