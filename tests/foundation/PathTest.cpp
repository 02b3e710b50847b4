#include "foundation/Path.h"

#include <gtest/gtest.h>

namespace salvora {
namespace {

TEST(Path, JoinUsesExactlyOneSeparator) {
    EXPECT_EQ(appendingPathComponent("/home/me", "Backup"), "/home/me/Backup");
    EXPECT_EQ(appendingPathComponent("/home/me/", "Backup"), "/home/me/Backup");
    EXPECT_EQ(appendingPathComponent("/home/me", "/Backup/"), "/home/me/Backup");
    EXPECT_EQ(appendingPathComponent("dest", "Documents//a.txt"), "dest/Documents/a.txt");
    EXPECT_EQ(appendingPathComponent("", "a"), "a");
    EXPECT_EQ(appendingPathComponent("/", "a"), "/a");
    EXPECT_EQ(appendingPathComponent("dest", ""), "dest");
}

TEST(Path, AbsoluteComponentStaysBelowThePath) {
    EXPECT_EQ(appendingPathComponent("/chosen", "/etc/passwd"), "/chosen/etc/passwd");
}

TEST(Path, LastComponent) {
    EXPECT_EQ(lastPathComponent("Library/Preferences/b.plist"), "b.plist");
    EXPECT_EQ(lastPathComponent("b.plist"), "b.plist");
    EXPECT_EQ(lastPathComponent("a/b/"), "b");
    EXPECT_EQ(lastPathComponent("/"), "/");
    EXPECT_EQ(lastPathComponent(""), "");
}

TEST(Path, DeletingLastComponent) {
    EXPECT_EQ(deletingLastPathComponent("Library/Preferences/a.plist"), "Library/Preferences");
    EXPECT_EQ(deletingLastPathComponent("Library/a.plist"), "Library");
    EXPECT_EQ(deletingLastPathComponent("a.plist"), "");
    EXPECT_EQ(deletingLastPathComponent(""), "");
    EXPECT_EQ(deletingLastPathComponent("/a"), "/");
    EXPECT_EQ(deletingLastPathComponent("/"), "/");
}

TEST(Path, Extensions) {
    EXPECT_EQ(deletingPathExtension("a.mdinfo"), "a");
    EXPECT_EQ(deletingPathExtension("a.b.mdinfo"), "a.b");
    EXPECT_EQ(deletingPathExtension("dir.x/file"), "dir.x/file");
    EXPECT_EQ(deletingPathExtension(".mdinfo"), "");
    EXPECT_EQ(appendingPathExtension("a", "mddata"), "a.mddata");
    EXPECT_EQ(appendingPathExtension(deletingPathExtension("x.mdinfo"), "mddata"), "x.mddata");
}

TEST(Path, ComponentsSkipEmptyPieces) {
    auto parts = pathComponents("/a//b/");
    ASSERT_EQ(parts.size(), 2u);
    EXPECT_EQ(parts[0], "a");
    EXPECT_EQ(parts[1], "b");
}

}  // namespace
}  // namespace salvora
