// The export folder: a new export takes an earlier one's place only once complete, and a
// folder holding anything of the user's is never taken.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>

#include "export/ExportFolder.h"
#include "foundation/FileWriting.h"
#include "support/TemporaryFolder.h"

namespace salvora {
namespace {

namespace fs = std::filesystem;

class ExportFolderTest : public testing::Test {
  protected:
    test::TemporaryFolder home;
    const std::string destination = home / "Export";

    // An export of `kind` holding one file, committed or abandoned.
    void exportOne(std::string_view kind, std::string_view fileName, bool commit) {
        Result<ExportFolder> folder = ExportFolder::begin(destination, kind);
        ASSERT_TRUE(folder) << folder.error().description();
        ASSERT_TRUE(writeAtomically(std::as_bytes(std::span(std::string_view("x"))),
                                    folder->folder(), fileName));
        if (commit) {
            ASSERT_TRUE(folder->commit());
        }
    }

    std::vector<std::string> entries() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(destination))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(ExportFolderTest, AMissingFolderIsMadeAndHoldsTheExportOnceCommitted) {
    exportOne("messages", "index.html", true);
    EXPECT_EQ(entries(), (std::vector<std::string>{".salvora-export", "index.html"}));
}

TEST_F(ExportFolderTest, AnotherExportReplacesTheEarlierOneOnlyWhenCommitted) {
    exportOne("messages", "first.html", true);
    exportOne("messages", "abandoned.html", false);
    EXPECT_EQ(entries(), (std::vector<std::string>{".salvora-export", "first.html"}));
    exportOne("messages", "second.html", true);
    EXPECT_EQ(entries(), (std::vector<std::string>{".salvora-export", "second.html"}));
}

TEST_F(ExportFolderTest, AFolderOfTheUsersOrOfAnotherExportIsRefusedAndLeftAlone) {
    exportOne("contacts", "contacts.vcf", true);
    EXPECT_FALSE(ExportFolder::begin(destination, "messages"));
    test::writeFile(home / "Mine/letter.txt", "mine");
    EXPECT_FALSE(ExportFolder::begin(home / "Mine", "messages"));
    EXPECT_EQ(test::readText(home / "Mine/letter.txt"), "mine");
    EXPECT_EQ(entries(), (std::vector<std::string>{".salvora-export", "contacts.vcf"}));
}

}  // namespace
}  // namespace salvora
