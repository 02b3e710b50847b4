// Manifest.db rows whose flags are none of 1, 2 and 4: the Mode of each row's record tells the
// regular file, which salvora-cli saves byte for byte, from the folder and the link.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/EncryptedBackup.h"
#include "support/ProcessRun.h"

namespace salvora {
namespace {
using test::EncryptedCatalogue;

// The catalogue (absent: a backup not encrypted), and the flags of every row.
class UnusualFlags
    : public testing::TestWithParam<
          std::tuple<std::optional<EncryptedCatalogue>, std::optional<std::int64_t>>> {};

TEST_P(UnusualFlags, TheRegularFileIsSavedAndTheFolderAndTheLinkAreNoFiles) {
    const auto [catalogue, flags] = GetParam();
    test::TemporaryFolder folder;
    test::BackupWriter plain(folder / "backup");
    std::optional<test::EncryptedBackup> encrypted;
    if (catalogue) encrypted.emplace(folder / "backup", *catalogue);
    const std::string contents("SQLite\0\xff", 8);
    for (const auto& [path, mode] : {std::pair{"Library/SMS", 040755},
                                     {"Library/SMS/sms.db", 0100600},
                                     {"Library/link", 0120755}}) {
        const test::ManifestDbItemType type{flags, static_cast<std::uint64_t>(mode)};
        if (encrypted)
            encrypted->addFile(
                {.domain = "HomeDomain", .path = path, .contents = contents, .type = type});
        else
            plain.addManifestDbFile("HomeDomain", path, contents, 0, {}, type);
    }
    test::writeFile(folder / "password", encrypted ? encrypted->keybag().password : "");
    const auto extracted = test::runProcess(
        SALVORA_CLI_PATH, {"extract", folder / "backup", "HomeDomain", folder / "saved",
                           "--password-file", folder / "password"});
    EXPECT_EQ(extracted.out, "Saved 1 file, 0 failed\n") << extracted.err;
    EXPECT_EQ(test::readText(folder / "saved/Library/SMS/sms.db"), contents);
    EXPECT_FALSE(std::filesystem::exists(folder / "saved/Library/link"));
}

INSTANTIATE_TEST_SUITE_P(ManifestDb, UnusualFlags,
                         testing::Combine(testing::Values(std::nullopt,
                                                          EncryptedCatalogue::PlainManifestDb,
                                                          EncryptedCatalogue::EncryptedManifestDb),
                                          testing::Values(0, 3, 8, std::nullopt)));

}  // namespace
}  // namespace salvora
