#include "window/SaveOutcomeMessage.h"

#include <gtest/gtest.h>

namespace salvora {
namespace {

FileOutcome saved(const std::string& target) { return {target, std::nullopt}; }

FileOutcome failed(const std::string& target, const std::string& reason) {
    return {target, Error{"Could not copy \"/backup/x\" to", target, reason}};
}

TEST(SaveOutcomeMessage, SavingEveryFileCountsThem) {
    EXPECT_EQ(saveAllMessage({saved("/d/a"), saved("/d/b")}, "/d"), "Saved 2 files to /d.");
    EXPECT_EQ(saveAllMessage({saved("/d/a")}, "/d"), "Saved 1 file to /d.");
    EXPECT_EQ(saveAllMessage({}, "/d"), "No files to save.");
}

TEST(SaveOutcomeMessage, FailuresAreCountedAndTheFirstReasonNamed) {
    EXPECT_EQ(saveAllMessage({saved("/d/a"), failed("/d/b", "File exists"),
                              failed("/d/c", "Permission denied")},
                             "/d"),
              "Saved 1 of 3 files to /d; 2 failed. First: Could not copy \"/backup/x\" to "
              "\"/d/b\": File exists");
    EXPECT_EQ(saveAllMessage({failed("/d/a", "File exists")}, "/d"),
              "Saved 0 of 1 file to /d; 1 failed. First: Could not copy \"/backup/x\" to "
              "\"/d/a\": File exists");
}

TEST(SaveOutcomeMessage, OneFileSaysWhereItWentOrWhyNot) {
    EXPECT_EQ(saveFileMessage(saved("/d/a.txt")), "Saved to /d/a.txt.");
    EXPECT_EQ(saveFileMessage(failed("/d/a.txt", "File exists")),
              "Not saved: Could not copy \"/backup/x\" to \"/d/a.txt\": File exists");
}

}  // namespace
}  // namespace salvora
