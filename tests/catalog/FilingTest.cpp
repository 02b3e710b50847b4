#include "catalog/naming/DomainNames.h"
#include "foundation/Utf8Text.h"

#include <gtest/gtest.h>

#include "catalog/model/HexName.h"
#include "support/TemporaryFolder.h"

namespace salvora {
namespace {

struct DomainCase {
    std::string domain;
    std::string application;
};

class DomainRule : public testing::TestWithParam<DomainCase> {};

TEST_P(DomainRule, RemovesAppDomainEverywhereAndKeepsTheLastPiece) {
    EXPECT_EQ(applicationNameForDomain(GetParam().domain), GetParam().application);
}

INSTANTIATE_TEST_SUITE_P(
    Domains, DomainRule,
    testing::Values(DomainCase{"AppDomain-com.example.notes", "notes"},
                    DomainCase{"SomeDomain", "SomeDomain"}, DomainCase{"AppDomain-", ""},
                    DomainCase{"com.example.", ""}, DomainCase{"", ""},
                    DomainCase{"AppDomain-Notes", "Notes"}, DomainCase{"x.AppDomain-y", "y"},
                    DomainCase{"AppDomain-a.AppDomain-b", "b"},
                    DomainCase{"AppDomainGroup-group.x", "x"},
                    DomainCase{"AppDomain-AppDomain-z", "z"}, DomainCase{"a..b", "b"}));

TEST(Filing, WithoutAppDomainDoesNotSplit) {
    EXPECT_EQ(withoutAppDomain("AppDomain-com.example.x"), "com.example.x");
    EXPECT_EQ(withoutAppDomain("AppDomain-a.AppDomain-b"), "a.b");
    EXPECT_EQ(withoutAppDomain("HomeDomain"), "HomeDomain");
    EXPECT_EQ(withoutAppDomain("AppDomainAppDomain--"), "AppDomain-");
}

TEST(Filing, OnlyWellFormedUtf8IsText) {
    EXPECT_EQ(utf8Text(std::optional<std::string_view>("plain")), "plain");
    EXPECT_EQ(utf8Text(std::optional<std::string_view>("Zo\xC3\xAB \xF0\x9F\x93\xB1")),
              "Zo\xC3\xAB \xF0\x9F\x93\xB1");
    for (std::string_view bad : {"\xFF", "\xC3", "\xC0\xAF", "\xED\xA0\x80", "a\xF4\x90\x80\x80"}) {
        EXPECT_EQ(utf8Text(std::optional<std::string_view>(bad)), std::nullopt) << bad;
    }
    EXPECT_EQ(utf8Text(std::optional<std::string_view>()), std::nullopt);
    EXPECT_EQ(utf8Text(std::optional<std::string>("x\xFE")), std::nullopt);
    // Long texts are passed over eight bytes at a time: a bad byte is found wherever it
    // stands, and characters of several bytes at the end still count.
    for (std::size_t at = 0; at < 21; ++at) {
        std::string text(21, 'a');
        text[at] = '\xFF';
        EXPECT_EQ(utf8Text(std::optional<std::string>(text)), std::nullopt) << at;
    }
    EXPECT_EQ(utf8Text(std::optional<std::string_view>("Library/Caches/caf\xC3\xA9")),
              "Library/Caches/caf\xC3\xA9");
}

TEST(HexName, EveryByteAsTwoLowercaseDigits) {
    std::vector<std::byte> bytes;
    for (unsigned value : {0x00u, 0x0Au, 0x9Fu, 0xA0u, 0xFFu}) bytes.push_back(std::byte(value));
    EXPECT_EQ(hexName(bytes), "000a9fa0ff");
    EXPECT_EQ(hexName({}), "");
}

}  // namespace
}  // namespace salvora
