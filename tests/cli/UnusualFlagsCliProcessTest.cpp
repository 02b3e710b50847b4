// Manifest.db rows whose flags are none of 1, 2 and 4, as some tools and iOS versions leave
// them: the Mode of each row's record tells a regular file, which is listed and saved, from a
// folder or a link, which are not files.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/EncryptedBackup.h"
#include "support/ProcessRun.h"

namespace salvora {
namespace {
using test::EncryptedCatalogue;
using test::ManifestDbItemType;

// Absent: the backup is not encrypted.
using Catalogue = std::optional<EncryptedCatalogue>;

class UnusualFlags
    : public testing::TestWithParam<std::tuple<Catalogue, std::optional<std::int64_t>>> {
  protected:
    // Writes the three items and returns what salvora-cli says of "extract".
    test::ProcessResult extractEverything() {
        const auto [catalogue, flags] = GetParam();
        const std::vector<std::pair<std::string, std::uint64_t>> items{
            {"Library/SMS", 040755}, {"Library/SMS/sms.db", 0100600}, {"Library/link", 0120755}};
        std::vector<std::string> args{"extract", folder / "backup", "HomeDomain", destination};
        if (catalogue) {
            test::EncryptedBackup backup(folder / "backup", *catalogue);
            for (const auto& [path, mode] : items)
                backup.addFile({.domain = "HomeDomain",
                                .path = path,
                                .contents = contents,
                                .type = ManifestDbItemType{flags, mode}});
            test::writeFile(folder / "password", backup.keybag().password);
            args.insert(args.end(), {"--password-file", folder / "password"});
        } else {
            test::BackupWriter backup(folder / "backup");
            for (const auto& [path, mode] : items)
                backup.addManifestDbFile("HomeDomain", path, contents, 0, {}, {flags, mode});
        }
        return test::runProcess(SALVORA_CLI_PATH, args);
    }

    test::TemporaryFolder folder;
    std::string destination = folder / "saved";
    const std::string contents{"SQLite format 3\0\x10\x00\xff", 20};
};

TEST_P(UnusualFlags, TheRegularFileIsSavedAndTheFolderAndTheLinkAreNoFiles) {
    const test::ProcessResult extracted = extractEverything();
    EXPECT_EQ(extracted.status, 0) << extracted.err;
    EXPECT_EQ(extracted.out, "Saved 1 file, 0 failed\n");
    EXPECT_EQ(test::readText(destination + "/Library/SMS/sms.db"), contents);
    EXPECT_FALSE(std::filesystem::exists(destination + "/Library/link"));
}

INSTANTIATE_TEST_SUITE_P(
    ManifestDb, UnusualFlags,
    testing::Combine(testing::Values(Catalogue{}, Catalogue{EncryptedCatalogue::PlainManifestDb},
                                     Catalogue{EncryptedCatalogue::EncryptedManifestDb}),
                     testing::Values(0, 3, 8, std::nullopt)),
    [](const auto& info) {
        const Catalogue catalogue = std::get<0>(info.param);
        const std::optional<std::int64_t> flags = std::get<1>(info.param);
        const std::string name = !catalogue ? "Plain"
                                 : *catalogue == EncryptedCatalogue::PlainManifestDb
                                     ? "EncryptedFiles"
                                     : "Encrypted";
        return name + "Flags" + (flags ? std::to_string(*flags) : "Null");
    });

}  // namespace
}  // namespace salvora
