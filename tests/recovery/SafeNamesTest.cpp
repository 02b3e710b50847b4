// The name rules, without a drive: each phone name and the safe name it becomes, always the
// same, changed no more than needed.
#include "recovery/SafeNames.h"

#include <gtest/gtest.h>

namespace salvora {
namespace {

struct Renaming {
    std::string name;
    std::string safe;
};

class PortableName : public testing::TestWithParam<Renaming> {};

TEST_P(PortableName, BecomesTheSafeNameAndStaysIt) {
    const std::string safe = portableName(GetParam().name);
    EXPECT_EQ(safe, GetParam().safe);
    EXPECT_EQ(portableName(safe), safe);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, PortableName,
    testing::Values(Renaming{"ok.txt", "ok.txt"}, Renaming{"a:b.txt", "a：b.txt"},
                    Renaming{"what?.txt", "what？.txt"}, Renaming{"say \"hi\"", "say ＂hi＂"},
                    Renaming{"star*.txt", "star＊.txt"}, Renaming{"a|b<c>d\\e", "a｜b＜c＞d＼e"},
                    Renaming{"tab\there\x01", "tab_here_"},
                    Renaming{"bad\xff\xfe.txt", "bad__.txt"}, Renaming{"été: 2023", "été： 2023"},
                    Renaming{"end.", "end._"}, Renaming{"trail ", "trail _"},
                    Renaming{"AUX", "AUX_"}, Renaming{"con.txt", "con_.txt"},
                    Renaming{"Com1.tar.gz", "Com1_.tar.gz"}, Renaming{"lpt9", "lpt9_"},
                    Renaming{"nul.", "nul_._"}, Renaming{"COM0", "COM0"},
                    Renaming{"console.txt", "console.txt"}, Renaming{".hidden", ".hidden"}));

struct Fitting {
    std::string name;
    std::size_t limit;
    LengthUnit unit;
    std::string fitted;
};

class FittedName : public testing::TestWithParam<Fitting> {};

TEST_P(FittedName, KeepsTheExtensionAndWholeCharacters) {
    const Fitting& fitting = GetParam();
    const std::string fitted = fittedName(fitting.name, fitting.limit, fitting.unit);
    EXPECT_EQ(fitted, fitting.fitted);
    EXPECT_LE(nameLength(fitted, fitting.unit), fitting.limit);
}

std::string times(std::size_t count, const std::string& text) {
    std::string repeated;
    for (std::size_t each = 0; each < count; ++each) repeated += text;
    return repeated;
}

INSTANTIATE_TEST_SUITE_P(
    Rules, FittedName,
    testing::Values(
        Fitting{"short.txt", 255, LengthUnit::Bytes, "short.txt"},
        Fitting{times(296, "L") + ".txt", 255, LengthUnit::Bytes, times(251, "L") + ".txt"},
        // Two bytes each: a half character is never kept.
        Fitting{times(200, "é") + ".txt", 255, LengthUnit::Bytes, times(125, "é") + ".txt"},
        Fitting{times(300, "é") + ".txt", 255, LengthUnit::Utf16, times(251, "é") + ".txt"},
        // Two UTF-16 units each.
        Fitting{times(200, "😀") + ".txt", 255, LengthUnit::Utf16, times(125, "😀") + ".txt"},
        Fitting{"abc. def.txt", 8, LengthUnit::Bytes, "abc.txt"},
        Fitting{"a." + times(20, "e"), 10, LengthUnit::Bytes, "a.eeeeeeee"}));

TEST(NumberedName, NumbersBeforeTheExtensionWithinTheLimit) {
    EXPECT_EQ(numberedName("IMG_0001.HEIC", 1), "IMG_0001.HEIC");
    EXPECT_EQ(numberedName("IMG_0001.HEIC", 2), "IMG_0001 (2).HEIC");
    EXPECT_EQ(numberedName(".profile", 3), ".profile (3)");
    EXPECT_EQ(numberedName("LLLLLLLLLL.txt", 12, 14), "LLLLL (12).txt");
}

TEST(LetterCaseKey, NamesOnlyLetterCaseTellsApartShareOne) {
    EXPECT_EQ(letterCaseKey("Photo.JPG"), letterCaseKey("photo.jpg"));
    EXPECT_EQ(letterCaseKey("ÉTÉ"), letterCaseKey("été"));
    EXPECT_NE(letterCaseKey("a：b"), letterCaseKey("a:b"));
    EXPECT_EQ(letterCaseKey("bad\xff"), "bad\xff");
}

}  // namespace
}  // namespace salvora
