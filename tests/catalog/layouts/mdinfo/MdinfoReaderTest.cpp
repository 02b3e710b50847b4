#include "catalog/layouts/mdinfo/MdinfoReader.h"

#include <gtest/gtest.h>

#include "support/BackupWriter.h"
#include "support/CatalogInspection.h"
#include "support/TemporaryFolder.h"

namespace salvora {
namespace {
using test::applicationIn;
using test::BackupWriter;
using test::MdinfoDescription;
using test::PlistFormat;
using test::PlistValue;

// The single file that reading one ".mdinfo" list gives, and its application's name.
struct Filed {
    std::string application;
    FileRecord file;
    std::shared_ptr<const ApplicationRecord> keeper;  // holds the file's texts
};

Filed readOne(const MdinfoDescription& description, bool withContents = true) {
    test::TemporaryFolder folder;
    BackupWriter backup(folder.path());
    backup.addMdinfoFile("a.mdinfo", description,
                         withContents ? std::optional<std::string_view>("contents") : std::nullopt);
    ApplicationMap applications;
    addMdinfoFiles({"a.mdinfo"}, backup.folder(), applications);
    if (applications.size() != 1) throw std::runtime_error("expected one application");
    const auto& [name, application] = *applications.begin();
    return {name, application->files.at(0), application};
}

MdinfoDescription outerOnly(std::optional<std::string> domain, std::optional<std::string> path) {
    MdinfoDescription description;
    description.domain = std::move(domain);
    description.path = std::move(path);
    return description;
}

MdinfoDescription innerOnly(std::optional<std::string> domain, std::optional<std::string> path) {
    MdinfoDescription description;
    description.metadataDomain = std::move(domain);
    description.metadataPath = std::move(path);
    return description;
}

TEST(MdinfoReader, OuterDomainAndPathGiveApplicationAndJoinedFullpath) {
    Filed filed = readOne(outerOnly("AppDomain-com.example.x", "Documents/n.db"));
    EXPECT_EQ(filed.application, "com.example.x");
    EXPECT_EQ(filed.file.fullpath(), "AppDomain-com.example.x/Documents/n.db");
    EXPECT_EQ(filed.file.name(), "a.mddata");
    EXPECT_EQ(filed.file.oldVersion(), std::nullopt);
}

TEST(MdinfoReader, ValuesOnlyInMetadataGiveThePathAlone) {
    for (PlistFormat format : {PlistFormat::Xml, PlistFormat::Binary}) {
        MdinfoDescription description = innerOnly("AppDomain-com.example.x", "Documents/n.db");
        description.metadataFormat = format;
        description.format = format;
        Filed filed = readOne(description);
        EXPECT_EQ(filed.application, "com.example.x");
        EXPECT_EQ(filed.file.fullpath(), "Documents/n.db");
    }
}

TEST(MdinfoReader, DomainWithoutAppDomainIsTheWholeNameAndEveryOccurrenceGoes) {
    EXPECT_EQ(readOne(outerOnly("HomeDomain", "Library/a")).application, "HomeDomain");
    EXPECT_EQ(readOne(outerOnly("AppDomain-a.AppDomain-b", "x")).application, "a.b");
}

TEST(MdinfoReader, OuterPathWithoutOuterDomainPlaysNoPart) {
    MdinfoDescription description = innerOnly("AppDomain-inner", "inner/path");
    description.path = "outer/path";
    Filed filed = readOne(description);
    EXPECT_EQ(filed.application, "inner");
    EXPECT_EQ(filed.file.fullpath(), "inner/path");
}

TEST(MdinfoReader, OuterDomainWithoutOuterPathTakesTheInnerPath) {
    MdinfoDescription description = innerOnly("AppDomain-inner", "inner/path");
    description.domain = "AppDomain-outer";
    Filed filed = readOne(description);
    EXPECT_EQ(filed.application, "outer");
    EXPECT_EQ(filed.file.fullpath(), "inner/path");
}

TEST(MdinfoReader, RecordIsMadeWhetherOrNotTheDataFileExists) {
    Filed filed = readOne(outerOnly("HomeDomain", "a"), false);
    EXPECT_EQ(filed.file.name(), "a.mddata");
    EXPECT_EQ(filed.file.oldVersion(), std::nullopt);
}

TEST(MdinfoReader, MissingOrUndecodableMetadataStillReadsTheOuterValues) {
    MdinfoDescription description = outerOnly("AppDomain-x", "Documents/a");
    description.withMetadata = false;
    EXPECT_EQ(readOne(description).file.fullpath(), "AppDomain-x/Documents/a");

    test::TemporaryFolder folder;
    PlistValue::dictionary({{"Domain", PlistValue::string("AppDomain-x")},
                            {"Path", PlistValue::string("Documents/a")},
                            {"Metadata", PlistValue::data(test::bytesOf("bplist00garbage"))}})
        .write(folder / "b.mdinfo", PlistFormat::Xml);
    ApplicationMap applications;
    addMdinfoFiles({"b.mdinfo"}, folder.path(), applications);
    EXPECT_EQ(test::fullpaths(applicationIn(applications, "x")),
              (std::vector<std::optional<std::string>>{"AppDomain-x/Documents/a"}));
}

TEST(MdinfoReader, NoDomainAnywhereOrAnUnreadableListFilesUnderTheEmptyName) {
    test::TemporaryFolder folder;
    BackupWriter backup(folder.path());
    backup.addMdinfoFile("nodomain.mdinfo", innerOnly(std::nullopt, "Documents/a"));
    test::writeFile(backup / "garbage.mdinfo", "garbage");
    PlistValue::dictionary({{"Domain", PlistValue::integer(3)}, {"Path", PlistValue::string("p")}})
        .write(backup / "number.mdinfo", PlistFormat::Binary);
    backup.addMdinfoFile("bytes.mdinfo", outerOnly("AppDomain-\xFF", "x"));

    ApplicationMap applications;
    addMdinfoFiles(
        {"nodomain.mdinfo", "garbage.mdinfo", "missing.mdinfo", "number.mdinfo", "bytes.mdinfo"},
        backup.folder(), applications);
    ASSERT_EQ(test::applicationNames(applications), std::vector<std::string>{""});
    const ApplicationRecord& unknown = applicationIn(applications, "");
    EXPECT_EQ(test::storedNames(unknown),
              (std::vector<std::string>{"nodomain.mddata", "garbage.mddata", "missing.mddata",
                                        "number.mddata", "bytes.mddata"}));
    EXPECT_EQ(unknown.files[0].fullpath(), "Documents/a");
    EXPECT_EQ(unknown.files[1].fullpath(), std::nullopt);
}

TEST(TranslationNames, DisplayNamesComeFromTheEmbeddedApplications) {
    test::TemporaryFolder folder;
    BackupWriter backup(folder.path());
    backup.addDisplayName("com.apple.mobilenotes", "Notes");
    backup.addDisplayName("com.example.empty", "");
    EXPECT_EQ(readTranslationNames(backup.folder()),
              (TranslationNames{{"com.apple.mobilenotes", "Notes"}, {"com.example.empty", ""}}));
}

TEST(TranslationNames, EntriesWithoutADisplayNameAreLeftOut) {
    PlistValue applications = PlistValue::dictionary(
        {{"noinfo", PlistValue::dictionary({{"Files", PlistValue::array()}})},
         {"infoarray", PlistValue::dictionary({{"AppInfo", PlistValue::array()}})},
         {"noname", PlistValue::dictionary(
                        {{"AppInfo", PlistValue::dictionary(
                                         {{"CFBundleIdentifier", PlistValue::string("x")}})}})},
         {"numbername", PlistValue::dictionary(
                            {{"AppInfo", PlistValue::dictionary(
                                             {{"CFBundleDisplayName", PlistValue::integer(1)}})}})},
         {"notadict", PlistValue::string("Notes")},
         {"good", PlistValue::dictionary(
                      {{"AppInfo", PlistValue::dictionary(
                                       {{"CFBundleDisplayName", PlistValue::string("Good")}})}})}});
    for (PlistFormat format : {PlistFormat::Xml, PlistFormat::Binary}) {
        PlistValue data = PlistValue::dictionary({{"Applications", applications}});
        PlistValue manifest =
            PlistValue::dictionary({{"Data", PlistValue::data(data.encode(format))}});
        test::TemporaryFolder folder;
        manifest.write(folder / "Manifest.plist", format);
        EXPECT_EQ(readTranslationNames(folder.path()), (TranslationNames{{"good", "Good"}}));
    }
}

TEST(TranslationNames, ManifestThatGivesNothingGivesAnEmptyMap) {
    std::vector<PlistValue> manifests{
        PlistValue::dictionary(),
        PlistValue::dictionary({{"Data", PlistValue::data(test::bytesOf("not a list"))}}),
        PlistValue::dictionary({{"Data", PlistValue::string("not data")}}),
        PlistValue::dictionary(
            {{"Data", PlistValue::data(PlistValue::dictionary().encode(PlistFormat::Binary))}}),
        PlistValue::array()};
    for (const PlistValue& manifest : manifests) {
        test::TemporaryFolder folder;
        manifest.write(folder / "Manifest.plist", PlistFormat::Xml);
        EXPECT_TRUE(readTranslationNames(folder.path()).empty());
    }
    test::TemporaryFolder empty;
    EXPECT_TRUE(readTranslationNames(empty.path()).empty());
}

}  // namespace
}  // namespace salvora
