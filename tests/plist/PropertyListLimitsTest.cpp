// Crafted lists that would overflow libplist's stack, fill the memory or stop the process are
// refused before libplist sees them; real lists of any size still decode.
#include "plist/PropertyListLimits.h"

#include <gtest/gtest.h>

#include <functional>

#include "plist/PropertyList.h"
#include "support/ByteWriter.h"
#include "support/CraftedPropertyLists.h"
#include "support/TemporaryFolder.h"

namespace salvora {
namespace {
using test::RawBinaryPlist;
using Bytes = std::vector<std::byte>;

constexpr std::size_t stackBreakingDepth = 2'000'000;

std::string times(std::size_t count, std::string_view piece) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i) text += piece;
    return text;
}

// Well-formed XML nested one level deeper than the limit, each level opened by `opening`, so
// libplist itself would read it.
Bytes xmlNestedPastTheLimit(std::string_view opening, std::string_view innermost,
                            std::string_view closing) {
    const std::size_t levels = maxPropertyListDepth + 1;
    return test::bytesOf("<plist>" + times(levels, opening) + std::string(innermost) +
                         times(levels, closing) + "</plist>");
}

Bytes dictionaryWithKey(const std::function<std::uint64_t(RawBinaryPlist&)>& addKey) {
    RawBinaryPlist list;
    list.addDictionary({{1, 2}});
    addKey(list);
    list.addAsciiString("value");
    return list.encode();
}

Bytes withTrailerField(std::size_t fromEnd, std::uint64_t value, std::size_t width) {
    Bytes bytes = test::nestedBinaryArrays(3);
    test::putBigEndian(bytes, bytes.size() - fromEnd, value, width);
    return bytes;
}

struct CraftedList {
    std::string label;
    std::function<Bytes()> bytes;
};

void PrintTo(const CraftedList& list, std::ostream* out) { *out << list.label; }

class CraftedPropertyList : public testing::TestWithParam<CraftedList> {};

TEST_P(CraftedPropertyList, IsRefusedBeforeLibplistSeesIt) {
    const Bytes bytes = GetParam().bytes();
    EXPECT_FALSE(isWithinPropertyListLimits(bytes));
    PropertyList list = PropertyList::fromData(bytes);
    EXPECT_FALSE(list.isPresent());
    // libplist stops the process on a key holding NUL as soon as the keys are asked for.
    EXPECT_TRUE(list.keys().empty());
}

INSTANTIATE_TEST_SUITE_P(
    PropertyListLimits, CraftedPropertyList,
    testing::Values(
        CraftedList{"BinaryNestedOneLevelTooDeep",
                    [] { return test::nestedBinaryArrays(maxPropertyListDepth + 1); }},
        CraftedList{"BinaryNestedDeepEnoughToOverflowTheStack",
                    [] { return test::nestedBinaryArrays(stackBreakingDepth / 10); }},
        CraftedList{"BinaryArrayHoldingItself",
                    [] {
                        RawBinaryPlist list;
                        list.addArray({0});
                        return list.encode();
                    }},
        CraftedList{"BinarySharedContainersExpandingExponentially",
                    [] { return test::sharedBinaryArrays(64); }},
        CraftedList{"BinaryDataCopiedForEveryReference",
                    [] {
                        // 140 KB that libplist would make into a gigabyte.
                        RawBinaryPlist list;
                        list.addArray(std::vector<std::uint64_t>(10000, 1));
                        list.addData(100'000);
                        return list.encode();
                    }},
        CraftedList{"BinaryKeyHoldingNul",
                    [] {
                        return dictionaryWithKey([](auto& list) {
                            return list.addAsciiString(std::string_view("a\0b", 3));
                        });
                    }},
        CraftedList{"BinaryUtf16KeyHoldingNul",
                    [] {
                        return dictionaryWithKey([](auto& list) {
                            return list.addUtf16String(std::u16string_view(u"\u00e9\0x", 3));
                        });
                    }},
        CraftedList{"BinaryTooShortForATrailer", [] { return test::bytesOf("bplist00\xa0"); }},
        CraftedList{"BinaryObjectCountBeyondTheOffsetTable",
                    [] { return withTrailerField(test::trailerObjectCountFromEnd, 1u << 30, 8); }},
        CraftedList{"BinaryObjectCountAtMaximum",
                    [] { return withTrailerField(test::trailerObjectCountFromEnd, ~0ull, 8); }},
        CraftedList{"BinaryTopObjectBeyondTheObjects",
                    [] { return withTrailerField(test::trailerTopObjectFromEnd, 3, 8); }},
        CraftedList{"BinaryOffsetTableBeyondTheEnd",
                    [] { return withTrailerField(test::trailerOffsetTableFromEnd, 1u << 20, 8); }},
        CraftedList{"BinaryOffsetTableInsideTheHeader",
                    [] { return withTrailerField(test::trailerOffsetTableFromEnd, 2, 8); }},
        CraftedList{"BinaryOffsetSizeZero",
                    [] { return withTrailerField(test::trailerOffsetSizeFromEnd, 0, 1); }},
        CraftedList{"BinaryReferenceSizeNine",
                    [] { return withTrailerField(test::trailerReferenceSizeFromEnd, 9, 1); }},
        CraftedList{"BinaryOffsetIntoTheTrailer",
                    [] {
                        Bytes bytes = test::nestedBinaryArrays(3);
                        const std::size_t table = bytes.size() - 32 - 3 * 8;
                        test::putBigEndian(bytes, table + 8, bytes.size() - 4, 8);
                        return bytes;
                    }},
        CraftedList{"BinaryReferenceToAMissingObject",
                    [] {
                        RawBinaryPlist list;
                        list.addArray({7});
                        return list.encode();
                    }},
        CraftedList{"BinaryCountRunningIntoTheOffsetTable",
                    [] {
                        RawBinaryPlist list;
                        list.addArray({});
                        Bytes bytes = list.encode();
                        bytes[8] =
                            std::byte{0xAF};  // the count follows, where the offset table begins
                        return bytes;
                    }},
        CraftedList{"XmlNestedOneLevelTooDeep",
                    [] { return test::bytesOf(test::nestedXmlArrays(maxPropertyListDepth + 1)); }},
        CraftedList{"XmlNestedDeepEnoughToOverflowTheStack",
                    [] { return test::bytesOf(test::nestedXmlArrays(stackBreakingDepth)); }},
        CraftedList{"XmlOpenedAndNeverClosed",
                    [] { return test::bytesOf(test::nestedXmlArrays(stackBreakingDepth, false)); }},
        CraftedList{
            "XmlClosingTagsInComments",
            [] { return xmlNestedPastTheLimit("<array><!-- </array> -->", "", "</array>"); }},
        CraftedList{"XmlClosingTagsInProcessingInstructions",
                    [] { return xmlNestedPastTheLimit("<array><? </array> ?>", "", "</array>"); }},
        CraftedList{
            "XmlClosingTagsInQuotedValues",
            [] { return xmlNestedPastTheLimit("<array a=\"></array>\">", "", "</array>"); }},
        CraftedList{
            "XmlDictionariesNestedTooDeep",
            [] { return xmlNestedPastTheLimit("<dict><key>k</key>", "<dict/>", "</dict>"); }}),
    [](const auto& info) { return info.param.label; });

class SoundPropertyList : public testing::TestWithParam<CraftedList> {};

TEST_P(SoundPropertyList, StillDecodes) {
    EXPECT_TRUE(PropertyList::fromData(GetParam().bytes()).isPresent());
}

INSTANTIATE_TEST_SUITE_P(
    PropertyListLimits, SoundPropertyList,
    testing::Values(
        CraftedList{"BinaryNestedToTheLimit",
                    [] { return test::nestedBinaryArrays(maxPropertyListDepth); }},
        CraftedList{"XmlNestedToTheLimit",
                    [] { return test::bytesOf(test::nestedXmlArrays(maxPropertyListDepth)); }},
        CraftedList{"BinaryStringSharedManyTimes",
                    [] {
                        RawBinaryPlist list;
                        list.addArray(std::vector<std::uint64_t>(10000, 1));
                        list.addAsciiString("shared");
                        return list.encode();
                    }},
        CraftedList{"BinaryTextsSharedAsARealListSharesThem",
                    [] {
                        // 20 000 dictionaries using the same two keys and value, as Apple's
                        // writer stores them once.
                        constexpr std::uint64_t count = 20000;
                        constexpr std::uint64_t firstDictionary = 4;
                        RawBinaryPlist list;
                        std::vector<std::uint64_t> dictionaries;
                        for (std::uint64_t i = 0; i < count; ++i)
                            dictionaries.push_back(firstDictionary + i);
                        list.addArray(dictionaries);
                        const auto key = list.addAsciiString("CFBundleIdentifier");
                        const auto other = list.addAsciiString("CFBundleDisplayName");
                        const auto value = list.addAsciiString("com.example.application");
                        for (std::uint64_t i = 0; i < count; ++i)
                            list.addDictionary({{key, value}, {other, value}});
                        return list.encode();
                    }},
        CraftedList{"BinaryKeysOfEveryForm",
                    [] {
                        RawBinaryPlist list;
                        list.addDictionary({{1, 3}, {2, 3}});
                        list.addAsciiString("plain");
                        list.addUtf16String(u"Ph\u00f6ne");
                        list.addAsciiString("");
                        return list.encode();
                    }},
        CraftedList{"XmlWithManyContainersCommentsAndADoctype",
                    [] {
                        return test::bytesOf(
                            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE plist PUBLIC "
                            "\"-//Apple//DTD PLIST 1.0//EN\" "
                            "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n<plist "
                            "version=\"1.0\"><array><!-- it's <dict> and </array> -->" +
                            times(5000, "<dict><key>a</key><array/><key>b</key><dict /></dict>") +
                            "</array></plist>");
                    }}),
    [](const auto& info) { return info.param.label; });

}  // namespace
}  // namespace salvora
