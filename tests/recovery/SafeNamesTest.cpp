// The name rules, without a drive: each phone name and the safe name it becomes, always the
// same, changed no more than needed.
#include "recovery/SafeNames.h"

#include <gtest/gtest.h>

namespace salvora {
namespace {

using Renaming = std::pair<std::string, std::string>;

class PortableName : public testing::TestWithParam<Renaming> {};

TEST_P(PortableName, BecomesTheSafeNameAndStaysIt) {
    EXPECT_EQ(portableName(GetParam().first), GetParam().second);
    EXPECT_EQ(portableName(GetParam().second), GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, PortableName,
    testing::Values(Renaming{"ok.txt", "ok.txt"}, Renaming{"a:b?.txt", "a：b？.txt"},
                    Renaming{"\"*|<>\\", "＂＊｜＜＞＼"}, Renaming{"tab\t\x01", "tab__"},
                    Renaming{"bad\xff\xfe.txt", "bad__.txt"}, Renaming{"été: 2023", "été： 2023"},
                    Renaming{"end.", "end._"}, Renaming{"trail ", "trail _"},
                    Renaming{"AUX", "AUX_"}, Renaming{"con.txt", "con_.txt"},
                    Renaming{"Com1.tar.gz", "Com1_.tar.gz"}, Renaming{"lpt9", "lpt9_"},
                    Renaming{"nul.", "nul_._"}, Renaming{"COM0", "COM0"},
                    Renaming{"console.txt", "console.txt"}, Renaming{".hidden", ".hidden"}));

std::string times(std::size_t count, const std::string& text) {
    std::string all;
    while (count-- > 0) all += text;
    return all;
}

// "é" takes two bytes, "😀" four bytes and two UTF-16 units; a half is never kept.
TEST(SafeNames, FittingKeepsTheExtensionAndWholeCharacters) {
    EXPECT_EQ(fittedName("short.txt", 255, LengthUnit::Bytes), "short.txt");
    EXPECT_EQ(fittedName(times(296, "L") + ".txt", 255, LengthUnit::Bytes),
              times(251, "L") + ".txt");
    EXPECT_EQ(fittedName(times(200, "é") + ".txt", 255, LengthUnit::Bytes),
              times(125, "é") + ".txt");
    EXPECT_EQ(fittedName(times(300, "é") + ".txt", 255, LengthUnit::Utf16),
              times(251, "é") + ".txt");
    EXPECT_EQ(fittedName(times(200, "😀") + ".t", 255, LengthUnit::Utf16), times(126, "😀") + ".t");
}

TEST(SafeNames, CutsNumbersAndFoldsLikeTheDrivesDo) {
    EXPECT_EQ(fittedName("abc. def.txt", 8, LengthUnit::Bytes), "abc.txt");
    EXPECT_EQ(fittedName("a.eeeeeeeeeeee", 10, LengthUnit::Bytes), "a.eeeeeeee");
    EXPECT_EQ(numberedName("IMG_0001.HEIC", 1), "IMG_0001.HEIC");
    EXPECT_EQ(numberedName("IMG_0001.HEIC", 2), "IMG_0001 (2).HEIC");
    EXPECT_EQ(numberedName(".profile", 3), ".profile (3)");
    EXPECT_EQ(numberedName("LLLLLLLLLL.txt", 12, 14), "LLLLL (12).txt");
    EXPECT_EQ(letterCaseKey("Photo.JPG"), letterCaseKey("photo.jpg"));
    EXPECT_EQ(letterCaseKey("ÉTÉ"), letterCaseKey("été"));
    EXPECT_NE(letterCaseKey("a：b"), letterCaseKey("a:b"));
    EXPECT_EQ(letterCaseKey("bad\xff"), "bad\xff");
}

}  // namespace
}  // namespace salvora
