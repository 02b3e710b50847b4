// salvora-cli in-process on encrypted backups: every way a password comes in, and every way
// it can fail.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/Cli.h"
#include "foundation/FileQueries.h"
#include "support/EncryptedBackup.h"
#include "support/FolderSnapshot.h"

namespace salvora::cli {
namespace {
using test::EncryptedBackup;
using test::EncryptedCatalogue;
using test::readText;

struct Result {
    int status;
    std::string out;
    std::string err;
};

// An encrypted backup with two files of "notes", and a file holding its password.
class EncryptedCli : public testing::Test {
  protected:
    explicit EncryptedCli(
        test::KeyDerivationVariant variant = test::KeyDerivationVariant::PreDerivation)
        : backup(folder / "backup", EncryptedCatalogue::EncryptedManifestDb, keybagOf(variant)) {
        storedA = backup.addFile("AppDomain-com.example.notes", "Documents/a.txt", "alpha",
                                 1'500'000'000);
        storedB =
            backup.addFile("AppDomain-com.example.notes", "Library/b.db", "bravo", 1'400'000'000);
        test::writeFile(passwordFile, password() + "\n");
    }

    static test::FixtureKeybag keybagOf(test::KeyDerivationVariant variant) {
        test::FixtureKeybag keybag;
        keybag.variant = variant;
        return keybag;
    }
    const std::string& password() const { return backup.keybag().password; }

    // Runs with `standardInput` as standard input and, when `terminal` is set, a terminal that
    // answers its prompt with it (absent: the user gives up).
    Result cli(const std::vector<std::string>& args, const std::string& standardInput = "",
               std::optional<std::optional<std::string>> terminal = std::nullopt,
               bool showProgress = false) {
        std::istringstream in(standardInput);
        PasswordInput input{&in, nullptr};
        if (terminal) {
            input.prompt = [this, terminal](std::string_view prompt, std::string& answer) {
                prompts.emplace_back(prompt);
                if (!*terminal) return false;
                answer = **terminal;
                return true;
            };
        }
        std::ostringstream out;
        std::ostringstream err;
        int status = run(args, out, err, showProgress, input);
        unread = in.rdbuf()->in_avail();
        return {status, out.str(), err.str()};
    }

    test::TemporaryFolder folder;
    EncryptedBackup backup;
    std::string storedA;
    std::string storedB;
    std::string passwordFile = folder / "password";
    test::TemporaryFolder destination;
    std::vector<std::string> prompts;
    std::streamsize unread = 0;
};

class BothDerivations : public EncryptedCli,
                        public testing::WithParamInterface<test::KeyDerivationVariant> {
  protected:
    BothDerivations() : EncryptedCli(GetParam()) {}
};

TEST_P(BothDerivations, EveryCommandWithAPasswordFileOrStandardInput) {
    const std::string dir = backup.folder();
    Result apps = cli({"apps", dir, "--password-file", passwordFile});
    EXPECT_EQ(apps.status, Success) << apps.err;
    EXPECT_EQ(apps.out, "com.example.notes\tNotes\t2\n");
    EXPECT_EQ(apps.err, "");

    Result files = cli({"files", dir, "notes", "--password-stdin"}, password() + "\n");
    EXPECT_EQ(files.status, Success) << files.err;
    EXPECT_EQ(files.out, "com.example.notes\tDocuments/a.txt\t" + storedA +
                             "\ncom.example.notes\tLibrary/b.db\t" + storedB + "\n");

    Result extract =
        cli({"extract", "--password-file", passwordFile, dir, "notes", destination / "all"});
    EXPECT_EQ(extract.status, Success) << extract.err;
    EXPECT_EQ(extract.out, "Saved 2 files, 0 failed\n");
    EXPECT_EQ(readText(destination / "all/Documents/a.txt"), "alpha");
    EXPECT_EQ(test::modificationSeconds(destination / "all/Library/b.db"), 1'400'000'000);

    // A password file written on Windows ends its line with "\r\n".
    test::writeFile(passwordFile, password() + "\r\n");
    Result one = cli({"extract-file", dir, "notes", "Library/b.db", destination / "b.db",
                      "--password-file", passwordFile});
    EXPECT_EQ(one.status, Success) << one.err;
    EXPECT_EQ(readText(destination / "b.db"), "bravo");

    // Without a line ending at the end of standard input.
    Result all =
        cli({"extract", dir, "--all", destination / "every", "--password-stdin"}, password());
    EXPECT_EQ(all.status, Success) << all.err;
    EXPECT_EQ(readText(destination / "every/com.example.notes/Documents/a.txt"), "alpha");
}

TEST_P(BothDerivations, AWrongPasswordExitsTwoAndSavesNothing) {
    test::writeFile(passwordFile, "not it\n");
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"apps", backup.folder(), "--password-file", passwordFile},
             {"extract", backup.folder(), "--all", destination / "x", "--password-stdin"}}) {
        Result result = cli(args, "not it\n");
        EXPECT_EQ(result.status, UsageError);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err, "salvora-cli: wrong password\n");
    }
    EXPECT_EQ(*directoryContents(destination.path()), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(Cli, BothDerivations,
                         testing::Values(test::KeyDerivationVariant::PreDerivation,
                                         test::KeyDerivationVariant::SaltOnly));

TEST_F(EncryptedCli, TheTerminalIsAskedOnlyWhenNoOptionGivesThePassword) {
    Result asked = cli({"apps", backup.folder()}, "", password());
    EXPECT_EQ(asked.status, Success) << asked.err;
    EXPECT_EQ(prompts,
              std::vector<std::string>{"Password of the backup " + backup.folder() + ": "});

    prompts.clear();
    EXPECT_EQ(
        cli({"apps", backup.folder(), "--password-file", passwordFile}, "", password()).status,
        Success);
    EXPECT_TRUE(prompts.empty());

    Result givenUp = cli({"apps", backup.folder()}, "", std::optional<std::string>());
    EXPECT_EQ(givenUp.status, UsageError);
    EXPECT_EQ(givenUp.err, "salvora-cli: no password given\n");
}

TEST_F(EncryptedCli, NoTerminalAndNoOptionIsAClearUsageError) {
    Result result = cli({"files", backup.folder()});
    EXPECT_EQ(result.status, UsageError);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "salvora-cli: the backup " + backup.folder() +
                              " is encrypted: give its password with --password-file FILE or "
                              "--password-stdin\n");
}

TEST_F(EncryptedCli, PasswordsThatCannotBeRead) {
    Result missing = cli({"apps", backup.folder(), "--password-file", folder / "missing"});
    EXPECT_EQ(missing.status, UsageError);
    EXPECT_EQ(missing.err, "salvora-cli: could not read the password file \"" + folder / "missing" +
                               "\": No such file or directory\n");
    test::writeFile(passwordFile, "");
    Result empty = cli({"apps", backup.folder(), "--password-file", passwordFile});
    EXPECT_EQ(empty.status, UsageError);
    EXPECT_EQ(empty.err, "salvora-cli: the password file \"" + passwordFile + "\" is empty\n");
    Result noInput = cli({"apps", backup.folder(), "--password-stdin"});
    EXPECT_EQ(noInput.status, UsageError);
    EXPECT_EQ(noInput.err, "salvora-cli: no password on standard input\n");
    Result both = cli(
        {"apps", backup.folder(), "--password-stdin", "--password-file", passwordFile}, password());
    EXPECT_EQ(both.status, UsageError);
    EXPECT_NE(both.err.find("excludes"), std::string::npos) << both.err;
}

TEST_F(EncryptedCli, APlainBackupReadsNoPassword) {
    test::BackupWriter plain(folder / "plain");
    plain.addManifestDbFile("AppDomain-com.example.notes", "a.txt", "alpha");
    Result result = cli({"apps", plain.folder(), "--password-stdin"}, "untouched\n", password());
    EXPECT_EQ(result.status, Success);
    EXPECT_EQ(unread, 10);
    EXPECT_TRUE(prompts.empty());
}

TEST_F(EncryptedCli, UnlockingShowsOnTheProgressLineAndIsGoneAfter) {
    Result result =
        cli({"apps", backup.folder(), "--password-stdin"}, password(), std::nullopt, true);
    EXPECT_EQ(result.status, Success);
    EXPECT_EQ(result.err, "\rUnlocking the backup...\x1b[K\r\x1b[K");
}

TEST_F(EncryptedCli, BrokenFilesFailOneLineEachAndTheRestIsSaved) {
    backup.addFile({.domain = "AppDomain-com.example.notes",
                    .path = "Documents/cut.txt",
                    .contents = std::string(40, 'c'),
                    .stored = {.truncateBy = 5}});
    Result result = cli(
        {"extract", backup.folder(), "notes", destination.path(), "--password-stdin"}, password());
    EXPECT_EQ(result.status, SomeFilesFailed);
    EXPECT_EQ(result.out, "Saved 2 files, 1 failed\n");
    EXPECT_NE(result.err.find("Its length, 43 bytes, is not a whole number of 16-byte blocks"),
              std::string::npos)
        << result.err;
    EXPECT_FALSE(fileExists(destination / "Documents/cut.txt"));
}

TEST_F(EncryptedCli, ADatabaseThatDoesNotDecryptStopsTheCommand) {
    test::TemporaryFolder other;
    EncryptedBackup broken(other / "b", EncryptedCatalogue::EncryptedManifestDb, {},
                           {.tamperManifestKey = true});
    Result result = cli({"apps", broken.folder(), "--password-stdin"}, password());
    EXPECT_EQ(result.status, UsageError);
    EXPECT_EQ(result.err, "salvora-cli: Could not unwrap a key \"" + broken / "Manifest.plist" +
                              "\": The key wrapped with protection class 4 is damaged\n");
}

}  // namespace
}  // namespace salvora::cli
