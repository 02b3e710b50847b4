#include "foundation/FileWriting.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "foundation/FileQueries.h"
#include "support/ExpectInChild.h"
#include "support/TemporaryFolder.h"

namespace salvora {
namespace {
using test::modificationSeconds;
using test::readText;
using test::TemporaryFolder;
using test::writeFile;

TEST(CopyItem, RefusesMissingLinkedAndSpecialSources) {
    TemporaryFolder folder;
    writeFile(folder / "real", "secret");
    ASSERT_EQ(::symlink((folder / "real").c_str(), (folder / "link").c_str()), 0);
    ASSERT_EQ(::mkfifo((folder / "fifo").c_str(), 0600), 0);
    std::filesystem::create_directory(folder / "dir");
    auto open = openFolder(folder.path());
    ASSERT_TRUE(open);

    EXPECT_FALSE(copyItem(*open, "missing", *open, "t1"));
    EXPECT_FALSE(copyItem(*open, "link", *open, "t2"));
    EXPECT_FALSE(copyItem(*open, "fifo", *open, "t3"));  // must not block
    EXPECT_FALSE(copyItem(*open, "dir", *open, "t4"));
    for (const char* target : {"t1", "t2", "t3", "t4"}) EXPECT_FALSE(fileExists(folder / target));
}

TEST(CopyItem, TargetFolderGoneIsAnErrorNamingTheTarget) {
    TemporaryFolder folder;
    writeFile(folder / "source", "x");
    std::filesystem::create_directory(folder / "out");
    auto in = openFolder(folder.path());
    auto out = openFolder(folder / "out");
    ASSERT_TRUE(in && out);
    std::filesystem::remove(folder / "out");
    Status copied = copyItem(*in, "source", *out, "target");
    ASSERT_FALSE(copied);
    EXPECT_EQ(copied.error().path, folder / "out/target");
}

TEST(WriteAtomically, ReplacesWholeAndLeavesNoTemporaryFile) {
    TemporaryFolder folder;
    writeFile(folder / "target", "a much longer old content");
    auto open = openFolder(folder.path());
    ASSERT_TRUE(open);
    EXPECT_TRUE(writeAtomically(test::bytesOf("new"), *open, "target"));
    EXPECT_EQ(readText(folder / "target"), "new");
    EXPECT_EQ(*directoryContents(folder.path()), std::vector<std::string>{"target"});
}

TEST(WriteAtomically, FailedWriteLeavesTargetAndNoTemporaryFile) {
    TemporaryFolder folder;
    writeFile(folder / "ro/target", "old");
    ::chmod((folder / "ro").c_str(), 0500);
    test::handOverToUnprivilegedUser(folder.path());
    test::expectAsUnprivilegedUser([&] {
        auto open = openFolder(folder / "ro");
        ASSERT_TRUE(open);
        EXPECT_FALSE(writeAtomically(test::bytesOf("new"), *open, "target"));
    });
    ::chmod((folder / "ro").c_str(), 0700);
    EXPECT_EQ(readText(folder / "ro/target"), "old");
    EXPECT_EQ(directoryContents(folder / "ro")->size(), 1u);
}

TEST(WriteAtomically, TargetThatIsAFolderFailsCleanly) {
    TemporaryFolder folder;
    std::filesystem::create_directories(folder / "target/inside");
    auto open = openFolder(folder.path());
    ASSERT_TRUE(open);
    EXPECT_FALSE(writeAtomically(test::bytesOf("new"), *open, "target"));
    EXPECT_TRUE(isDirectory(folder / "target/inside"));
    EXPECT_EQ(*directoryContents(folder.path()), std::vector<std::string>{"target"});
}

TEST(FileWriting, CopiesAndWritesInsideTheFolderItWasOpenedAsNeverReplacingByACopy) {
    TemporaryFolder folder;
    writeFile(folder / "in/source", "bytes");
    std::filesystem::create_directory(folder / "out");
    auto in = openFolder(folder / "in");
    auto out = openFolder(folder / "out");
    ASSERT_TRUE(in && out);
    // The folder's path is swapped for a link after it was opened: files still land in it.
    std::filesystem::rename(folder / "out", folder / "moved");
    ASSERT_EQ(::symlink((folder / "in").c_str(), (folder / "out").c_str()), 0);

    EXPECT_TRUE(copyItem(*in, "source", *out, "copied"));
    EXPECT_TRUE(writeAtomically(test::bytesOf("written"), *out, "written"));
    EXPECT_EQ(readText(folder / "moved/copied"), "bytes");
    EXPECT_EQ(readText(folder / "moved/written"), "written");
    EXPECT_EQ(*directoryContents(folder / "in"), std::vector<std::string>{"source"});

    Status copied = copyItem(*in, "source", *out, "written");
    ASSERT_FALSE(copied);
    EXPECT_EQ(copied.error().description(),
              "Could not copy to \"" + folder / "out/written" + "\": File exists");
    EXPECT_EQ(readText(folder / "moved/written"), "written");
    EXPECT_EQ(*directoryContents(folder / "moved"),
              (std::vector<std::string>{"copied", "written"}));
    EXPECT_FALSE(copyItem(*in, "../in/source", *out, "other"));
    EXPECT_FALSE(writeAtomically(test::bytesOf("x"), *out, "../escaped"));
    EXPECT_FALSE(fileExists(folder / "escaped"));
}

TEST(FileWriting, MadeFilesCarryTheModificationTimeGiven) {
    TemporaryFolder folder;
    writeFile(folder / "source", "bytes");
    auto open = openFolder(folder.path());
    ASSERT_TRUE(open);
    constexpr std::int64_t phoneTime = 1'500'000'000;  // July 2017
    EXPECT_TRUE(copyItem(*open, "source", *open, "copied", phoneTime));
    EXPECT_TRUE(writeAtomically(test::bytesOf("w"), *open, "written", phoneTime + 1));
    EXPECT_TRUE(createFile(
        *open, "created",
        [](int fd) -> Status {
            if (!writeAll(fd, test::bytesOf("made"))) return Error{"write", "", "failed"};
            return {};
        },
        phoneTime + 2));
    EXPECT_EQ(modificationSeconds(folder / "copied"), phoneTime);
    EXPECT_EQ(modificationSeconds(folder / "written"), phoneTime + 1);
    EXPECT_EQ(modificationSeconds(folder / "created"), phoneTime + 2);
    EXPECT_EQ(readText(folder / "created"), "made");
    // Without a time, a file carries the time it was made.
    EXPECT_TRUE(copyItem(*open, "source", *open, "now"));
    EXPECT_GT(modificationSeconds(folder / "now"), phoneTime + 2);
}

TEST(FileWriting, CreateFileLeavesNothingWhenItsWriterFailsAndNeverReplaces) {
    TemporaryFolder folder;
    auto open = openFolder(folder.path());
    ASSERT_TRUE(open);
    const Error failure{"Could not decrypt", "/backup/ab/abcd", "Its padding is damaged"};
    Status created = createFile(*open, "partial", [&](int fd) -> Status {
        EXPECT_TRUE(writeAll(fd, test::bytesOf("half of it")));
        return failure;
    });
    ASSERT_FALSE(created);
    EXPECT_EQ(created.error().description(), failure.description());
    EXPECT_EQ(*directoryContents(folder.path()), std::vector<std::string>{});

    writeFile(folder / "taken", "old");
    bool wrote = false;
    created = createFile(*open, "taken", [&](int) -> Status {
        wrote = true;
        return {};
    });
    ASSERT_FALSE(created);
    EXPECT_EQ(created.error().description(),
              "Could not write \"" + folder / "taken" + "\": File exists");
    EXPECT_FALSE(wrote);
    EXPECT_EQ(readText(folder / "taken"), "old");
    EXPECT_FALSE(createFile(*open, "../escaped", [](int) -> Status { return {}; }));
    EXPECT_EQ(*directoryContents(folder.path()), std::vector<std::string>{"taken"});
}

}  // namespace
}  // namespace salvora
