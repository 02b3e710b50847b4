// salvora-cli run in-process: exact output and exit status of every command.
#include "cli/Cli.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/ExtractCommands.h"
#include "foundation/FileQueries.h"
#include "support/CliBackups.h"
#include "support/FixtureHome.h"
#include "support/FolderSnapshot.h"

namespace salvora::cli {
namespace {
using nlohmann::json;
using test::readText;

struct Result {
    int status;
    std::string out;
    std::string err;
};

// A home with two devices: a named one whose backup mixes the layouts, and one without name.
class CliTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test::BackupWriter backup(mixed);
        notesStoredName = backup.addManifestDatabaseFile("AppDomain-com.example.notes",
                                                         "Documents/a.txt", "alpha");
        backup.addMdbackupFile("x.mdbackup", "library/Preferences/b.plist", "bravo");
        backup.addMdbackupFile("y.mdbackup", "top.txt", "top");
        backup.addMdinfoFile(
            "c.mdinfo", test::mdinfo("AppDomain-com.example.maps", "Documents/c.txt"), "charlie");
        backup.addMdinfoFile("d.mdinfo", test::mdinfo("AppDomain-a/b", "d.txt"), "delta");
        backup.addDisplayName("com.example.maps", "Maps");
        test::setModificationTime(mixed, 2010, 3, 5, 14, 7);
        test::setModificationTime(unnamed, 2010, 3, 5, 0, 30);
    }

    static Result cli(const std::vector<std::string>& args, bool showProgress = false) {
        std::ostringstream out;
        std::ostringstream err;
        int status = run(args, out, err, showProgress);
        return {status, out.str(), err.str()};
    }

    test::FixtureHome home;
    std::string mixed = home.addBackup(test::BackupRoot::Primary, "phone-a", "Anna's iPhone");
    std::string unnamed = home.addBackup(test::BackupRoot::Alternate, "phone-b", std::nullopt);
    std::string notesStoredName;
    test::TemporaryFolder destination;
};

TEST_F(CliTest, DevicesAsTextAndAsJsonAndNoRecoveryFolderIsMade) {
    std::filesystem::create_directory(home / "Desktop");
    Result text = cli({"devices"});
    EXPECT_EQ(text.status, Success);
    EXPECT_EQ(text.out, "1\tAnna's iPhone\t03/05/10 02:07PM\t" + mixed +
                            "\n"
                            "2\t(Unknown Name)\t03/05/10 12:30AM\t" +
                            unnamed + "\n");
    EXPECT_EQ(text.err, "");

    Result structured = cli({"devices", "--json"});
    EXPECT_EQ(structured.status, Success);
    const json expected = json::array({{{"index", 1},
                                        {"name", "Anna's iPhone"},
                                        {"date", "03/05/10 02:07PM"},
                                        {"directory", mixed},
                                        {"encrypted", false}},
                                       {{"index", 2},
                                        {"name", nullptr},
                                        {"date", "03/05/10 12:30AM"},
                                        {"directory", unnamed},
                                        {"encrypted", false}}});
    EXPECT_EQ(json::parse(structured.out), expected);
    EXPECT_EQ(*directoryContents(home / "Desktop"), std::vector<std::string>{});
}

TEST_F(CliTest, NoDevicesListsNothing) {
    std::filesystem::remove_all(home / "Application Data");
    std::filesystem::remove_all(home / "AppData");
    EXPECT_EQ(cli({"devices"}).out, "");
    EXPECT_EQ(cli({"devices", "--json"}).out, "[]\n");
}

TEST_F(CliTest, ApplicationsInCatalogueOrderWithWhatTheTableShows) {
    Result text = cli({"apps", mixed});
    EXPECT_EQ(text.status, Success);
    EXPECT_EQ(text.out,
              "\t(Unknown Application Name)\t1\n"
              "a/b\ta/b\t1\n"
              "com.example.maps\tMaps\t1\n"
              "library\tlibrary\t1\n"
              "notes\tnotes\t1\n");
    const json expected =
        json::array({{{"name", ""}, {"displayName", "(Unknown Application Name)"}, {"files", 1}},
                     {{"name", "a/b"}, {"displayName", "a/b"}, {"files", 1}},
                     {{"name", "com.example.maps"}, {"displayName", "Maps"}, {"files", 1}},
                     {{"name", "library"}, {"displayName", "library"}, {"files", 1}},
                     {{"name", "notes"}, {"displayName", "notes"}, {"files", 1}}});
    EXPECT_EQ(json::parse(cli({"apps", mixed, "--json"}).out), expected);
}

TEST_F(CliTest, FilesOfEveryApplicationOrOfOne) {
    Result all = cli({"files", mixed});
    EXPECT_EQ(all.status, Success);
    EXPECT_EQ(all.out,
              "\ttop.txt\ty.mdbackup\n"
              "a/b\tAppDomain-a/b/d.txt\td.mddata\n"
              "com.example.maps\tAppDomain-com.example.maps/Documents/c.txt\tc.mddata\n"
              "library\tlibrary/Preferences/b.plist\tx.mdbackup\n"
              "notes\tDocuments/a.txt\t" +
                  notesStoredName + "\n");
    EXPECT_EQ(cli({"files", mixed, ""}).out, "\ttop.txt\ty.mdbackup\n");

    Result one = cli({"files", mixed, "library", "--json"});
    EXPECT_EQ(one.status, Success);
    const json expected = json::array({{{"application", "library"},
                                        {"fullpath", "library/Preferences/b.plist"},
                                        {"name", "x.mdbackup"},
                                        {"oldVersion", true}}});
    EXPECT_EQ(json::parse(one.out), expected);
    EXPECT_EQ(json::parse(cli({"files", mixed, "notes", "--json"}).out)[0]["oldVersion"], false);

    // A name in another letter case still finds the application; one that names none fails.
    EXPECT_EQ(cli({"files", mixed, "LIBRARY"}).out, cli({"files", mixed, "library"}).out);
    Result unknown = cli({"files", mixed, "Librar"});
    EXPECT_EQ(unknown.status, UsageError);
    EXPECT_EQ(unknown.out, "");
    EXPECT_EQ(unknown.err, "salvora-cli: no application \"Librar\" in this backup\n");
}

TEST_F(CliTest, BackupByTheNumberOfItsDevice) {
    EXPECT_EQ(cli({"apps", "1"}).out, cli({"apps", mixed}).out);
    EXPECT_EQ(cli({"apps", "2"}).out, "");

    for (const char* unknown : {"0", "3", "18446744073709551616", "-1"}) {
        Result result = cli({"apps", "--", unknown});
        EXPECT_EQ(result.status, UsageError) << unknown;
        EXPECT_EQ(result.out, "");
    }
    EXPECT_EQ(
        cli({"apps", "3"}).err,
        "salvora-cli: no device number 3 (there are 2; \"salvora-cli devices\" lists them)\n");
    EXPECT_EQ(cli({"apps", "nowhere"}).err, "salvora-cli: no backup folder \"nowhere\"\n");
}

// Moves into a folder for one test and back.
class WorkingDirectory {
  public:
    explicit WorkingDirectory(const std::string& path)
        : previous_(std::filesystem::current_path()) {
        std::filesystem::current_path(path);
    }
    ~WorkingDirectory() { std::filesystem::current_path(previous_); }

  private:
    std::filesystem::path previous_;
};

TEST_F(CliTest, FolderNamedLikeANumberInTheWorkingDirectoryIsTakenAsTheBackup) {
    test::TemporaryFolder working;
    test::BackupWriter(working / "2").addMdbackupFile("z.mdbackup", "Local/z.txt", "z");
    WorkingDirectory inside(working.path());
    EXPECT_EQ(cli({"apps", "2"}).out, "Local\tLocal\t1\n");
    EXPECT_EQ(cli({"apps", "1"}).out, cli({"apps", mixed}).out);
}

class UsageErrorTest : public CliTest,
                       public ::testing::WithParamInterface<std::vector<std::string>> {};

TEST_P(UsageErrorTest, ExitsWithTwoAndSaysWhy) {
    Result result = cli(GetParam());
    EXPECT_EQ(result.status, UsageError);
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err, "");
}

INSTANTIATE_TEST_SUITE_P(
    Cli, UsageErrorTest,
    ::testing::Values(std::vector<std::string>{}, std::vector<std::string>{"bogus"},
                      std::vector<std::string>{"--bogus"},
                      std::vector<std::string>{"devices", "extra"},
                      std::vector<std::string>{"apps"}, std::vector<std::string>{"files"},
                      std::vector<std::string>{"files", "1", "notes", "extra"},
                      std::vector<std::string>{"extract", "1", "notes"},
                      std::vector<std::string>{"extract", "1", "--all", "notes", "out"},
                      std::vector<std::string>{"extract", "1", "zzz", "out"},
                      std::vector<std::string>{"extract", "9", "--all", "out"},
                      std::vector<std::string>{"extract-file", "1", "notes", "Documents/a.txt"},
                      std::vector<std::string>{"extract-file", "1", "notes", "missing", "out"},
                      std::vector<std::string>{"extract-file", "1", "zzz", "Documents/a.txt",
                                               "out"}));

TEST_F(CliTest, HelpOnEveryCommandAndTheVersion) {
    Result help = cli({"--help"});
    EXPECT_EQ(help.status, Success);
    for (const char* command : {"devices", "apps", "files", "extract", "extract-file"})
        EXPECT_NE(help.out.find(command), std::string::npos) << command;
    for (const char* command : {"devices", "apps", "files", "extract", "extract-file"}) {
        Result commandHelp = cli({command, "--help"});
        EXPECT_EQ(commandHelp.status, Success) << command;
        EXPECT_NE(commandHelp.out.find(std::string("salvora-cli ") + command), std::string::npos)
            << commandHelp.out;
    }
    Result version = cli({"--version"});
    EXPECT_EQ(version.status, Success);
    EXPECT_EQ(version.out, "salvora-cli " SALVORA_VERSION "\n");
}

TEST_F(CliTest, ExtractOneApplicationWithoutAFolderLevelOfItsOwn) {
    const std::string folder = destination / "out";
    Result result = cli({"extract", mixed, "com.example.maps", folder});
    EXPECT_EQ(result.status, Success);
    EXPECT_EQ(result.out, "Saved 1 file, 0 failed\n");
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(readText(folder + "/AppDomain-com.example.maps/Documents/c.txt"), "charlie");
    EXPECT_EQ(*directoryContents(folder), std::vector<std::string>{"AppDomain-com.example.maps"});

    Result empty = cli({"extract", mixed, "", destination / "empty"});
    EXPECT_EQ(empty.status, Success);
    EXPECT_EQ(readText(destination / "empty/top.txt"), "top");
}

TEST_F(CliTest, ExtractAllPutsEachApplicationInAFolderOfItsOwn) {
    Result result = cli({"extract", "1", "--all", destination.path()});
    EXPECT_EQ(result.status, Success);
    EXPECT_EQ(result.out, "Saved 5 files, 0 failed\n");
    EXPECT_EQ(readText(destination / "(Unknown Application Name)/top.txt"), "top");
    EXPECT_EQ(readText(destination / "a_b/AppDomain-a/b/d.txt"), "delta");
    EXPECT_EQ(readText(destination / "com.example.maps/AppDomain-com.example.maps/Documents/c.txt"),
              "charlie");
    EXPECT_EQ(readText(destination / "library/library/Preferences/b.plist"), "bravo");
    EXPECT_EQ(readText(destination / "notes/Documents/a.txt"), "alpha");
}

TEST_F(CliTest, FilesThatCannotBeSavedAreOneLineEachAndExitOne) {
    const std::string taken = destination / "notes/Documents/a.txt";
    test::writeFile(taken, "kept");
    std::filesystem::remove(mixed + "/c.mddata");
    Result result = cli({"extract", mixed, "--all", destination.path()});
    EXPECT_EQ(result.status, SomeFilesFailed);
    EXPECT_EQ(result.out, "Saved 3 files, 2 failed\n");
    const std::string missing =
        destination / "com.example.maps/AppDomain-com.example.maps/Documents/c.txt";
    EXPECT_EQ(result.err, "salvora-cli: " + missing + ": Could not copy from \"" + mixed +
                              "/c.mddata\": No such file or directory\n"
                              "salvora-cli: Could not copy to \"" +
                              taken + "\": File exists\n");
    EXPECT_EQ(readText(taken), "kept");
    EXPECT_EQ(readText(destination / "library/library/Preferences/b.plist"), "bravo");
}

TEST_F(CliTest, ExtractOneFileToExactlyTheTarget) {
    const std::string target = destination / "picked.txt";
    Result result = cli({"extract-file", mixed, "notes", "Documents/a.txt", target});
    EXPECT_EQ(result.status, Success);
    EXPECT_EQ(result.out, "Saved 1 file, 0 failed\n");
    EXPECT_EQ(readText(target), "alpha");

    Result again = cli({"extract-file", mixed, "notes", "Documents/a.txt", target});
    EXPECT_EQ(again.status, SomeFilesFailed);
    EXPECT_EQ(again.out, "Saved 0 files, 1 failed\n");
    EXPECT_EQ(again.err, "salvora-cli: Could not copy to \"" + target + "\": File exists\n");

    Result unknown = cli({"extract-file", mixed, "notes", "documents/a.txt", target});
    EXPECT_EQ(unknown.status, UsageError);
    EXPECT_EQ(unknown.err,
              "salvora-cli: no file \"documents/a.txt\" in the application \"notes\"\n");
}

TEST_F(CliTest, ProgressLineOnlyWhenAskedAndGoneBeforeTheSummary) {
    Result quiet = cli({"extract", mixed, "--all", destination / "quiet"});
    EXPECT_EQ(quiet.err, "");
    Result shown = cli({"extract", mixed, "--all", destination / "shown"}, true);
    EXPECT_NE(shown.err.find("\rSaving files: 5 of 5\x1b[K"), std::string::npos) << shown.err;
    EXPECT_TRUE(shown.err.ends_with("\r\x1b[K")) << shown.err;
    EXPECT_EQ(shown.out, "Saved 5 files, 0 failed\n");
}

TEST_F(CliTest, NoCommandChangesTheBackups) {
    const auto before = test::folderSnapshot(home.path());
    const std::string out = destination.path();
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"devices"},
             {"devices", "--json"},
             {"apps", "1", "--json"},
             {"files", "1"},
             {"extract", "1", "--all", out + "/all"},
             {"extract", "1", "notes", out + "/notes"},
             {"extract", "1", "notes", out + "/notes"},
             {"extract-file", "1", "library", "library/Preferences/b.plist", out + "/b"},
             {"extract-file", "1", "library", "library/Preferences/b.plist", out + "/b"}}) {
        cli(args);
        EXPECT_EQ(test::folderSnapshot(home.path()), before) << args[0];
    }
}

TEST(ApplicationFolderName, KeepsEveryApplicationInAFolderOfItsOwnBelowTheDestination) {
    EXPECT_EQ(applicationFolderName(""), "(Unknown Application Name)");
    EXPECT_EQ(applicationFolderName("com.example.app"), "com.example.app");
    EXPECT_EQ(applicationFolderName("a/b/"), "a_b_");
    EXPECT_EQ(applicationFolderName("."), "_");
    EXPECT_EQ(applicationFolderName(".."), "__");
    EXPECT_EQ(applicationFolderName("..."), "...");
}

}  // namespace
}  // namespace salvora::cli
