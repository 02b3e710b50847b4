// The real salvora-cli process on an encrypted backup: the password from a file, from a pipe
// and from a terminal that doesn't echo it.
#include <gtest/gtest.h>

#include "support/EncryptedBackup.h"
#include "support/FolderSnapshot.h"
#include "support/ProcessRun.h"

namespace salvora {
namespace {

test::ProcessResult salvoraCli(const std::vector<std::string>& args,
                               const std::optional<std::string>& standardInput = std::nullopt) {
    return test::runProcess(SALVORA_CLI_PATH, args, standardInput);
}

class EncryptedCliProcess : public testing::Test {
  protected:
    void SetUp() override {
        backup.addFile("AppDomain-com.example.notes", "Documents/a.txt", "alpha", 1'500'000'000);
        test::writeFile(passwordFile, password() + "\n");
    }
    const std::string& password() const { return backup.keybag().password; }

    test::TemporaryFolder folder;
    test::EncryptedBackup backup{folder / "backup"};
    std::string passwordFile = folder / "password";
    test::TemporaryFolder destination;
};

TEST_F(EncryptedCliProcess, PasswordFromAFileOrAPipeAndTheBackupLeftAsItWas) {
    const auto before = test::folderSnapshot(backup.folder());
    auto fromFile = salvoraCli(
        {"extract", backup.folder(), "notes", destination / "a", "--password-file", passwordFile});
    EXPECT_EQ(fromFile.status, 0) << fromFile.err;
    EXPECT_EQ(fromFile.out, "Saved 1 file, 0 failed\n");
    EXPECT_EQ(test::readText(destination / "a/Documents/a.txt"), "alpha");
    EXPECT_EQ(test::modificationSeconds(destination / "a/Documents/a.txt"), 1'500'000'000);

    auto fromPipe = salvoraCli({"extract-file", backup.folder(), "notes", "Documents/a.txt",
                                destination / "b", "--password-stdin"},
                               password() + "\n");
    EXPECT_EQ(fromPipe.status, 0) << fromPipe.err;
    EXPECT_EQ(test::readText(destination / "b"), "alpha");
    EXPECT_EQ(test::folderSnapshot(backup.folder()), before);
}

TEST_F(EncryptedCliProcess, WrongPasswordAndNoPasswordExitTwo) {
    auto wrong = salvoraCli({"apps", backup.folder(), "--password-stdin"}, "wrong\n");
    EXPECT_EQ(wrong.status, 2);
    EXPECT_EQ(wrong.err, "salvora-cli: wrong password\n");
    // Standard input is no terminal here, so nobody could answer a prompt.
    auto none = salvoraCli({"apps", backup.folder()});
    EXPECT_EQ(none.status, 2);
    EXPECT_NE(none.err.find("is encrypted: give its password with --password-file FILE or "
                            "--password-stdin"),
              std::string::npos)
        << none.err;
}

TEST_F(EncryptedCliProcess, OnATerminalThePasswordIsAskedForAndNeverEchoed) {
    const std::string prompt = "Password of the backup " + backup.folder() + ": ";
    auto result =
        test::runOnTerminal(SALVORA_CLI_PATH, {"apps", backup.folder()}, prompt, password() + "\n");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "com.example.notes\tNotes\t1\n");
    EXPECT_NE(result.err.find(prompt), std::string::npos) << result.err;
    EXPECT_EQ(result.err.find(password()), std::string::npos) << result.err;

    auto wrong = test::runOnTerminal(SALVORA_CLI_PATH, {"apps", backup.folder()}, prompt, "nope\n");
    EXPECT_EQ(wrong.status, 2);
    EXPECT_NE(wrong.err.find("salvora-cli: wrong password"), std::string::npos) << wrong.err;
    EXPECT_EQ(wrong.err.find("nope"), std::string::npos) << wrong.err;
}

}  // namespace
}  // namespace salvora
