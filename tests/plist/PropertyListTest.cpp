#include "plist/PropertyList.h"

#include <gtest/gtest.h>

#include "support/PlistValue.h"
#include "support/TemporaryFolder.h"

namespace salvora {
namespace {
using test::PlistFormat;
using test::PlistValue;

class PropertyListFormats : public testing::TestWithParam<PlistFormat> {};

TEST_P(PropertyListFormats, ReadsNestedValuesOfEveryKind) {
    auto payload = test::bytesOf("\x00\x01\xff");
    auto encoded = PlistValue::dictionary(
                       {
                           {"Name", PlistValue::string("Phöne")},
                           {"Blob", PlistValue::data(payload)},
                           {"Flag", PlistValue::boolean(true)},
                           {"Count", PlistValue::integer(42)},
                           {"Inner", PlistValue::dictionary({{"Deep", PlistValue::string("yes")}})},
                           {"List", PlistValue::array({PlistValue::string("first")})},
                       })
                       .encode(GetParam());

    PropertyList list = PropertyList::fromData(encoded);
    ASSERT_EQ(list.kind(), PropertyList::Kind::Dictionary);
    EXPECT_EQ(list["Name"].string(), "Phöne");
    ASSERT_TRUE(list["Blob"].data());
    EXPECT_EQ(std::vector<std::byte>(list["Blob"].data()->begin(), list["Blob"].data()->end()),
              payload);
    EXPECT_EQ(list["Flag"].boolean(), true);
    EXPECT_EQ(list["Count"].unsignedInteger(), 42u);
    EXPECT_EQ(list["Inner"]["Deep"].string(), "yes");
    EXPECT_EQ(list["List"].at(0).string(), "first");
    EXPECT_EQ(list.count(), 6u);
    EXPECT_EQ(list.keys().size(), 6u);
}

INSTANTIATE_TEST_SUITE_P(XmlAndBinary, PropertyListFormats,
                         testing::Values(PlistFormat::Xml, PlistFormat::Binary));

TEST(PropertyList, LookUpsOnAbsentOrOtherKindsYieldAbsent) {
    PropertyList list = PropertyList::fromData(
        PlistValue::dictionary({{"Name", PlistValue::string("x")}}).encode(PlistFormat::Xml));
    EXPECT_FALSE(list["Missing"].isPresent());
    EXPECT_FALSE(list["Missing"]["Deeper"]["Still"].string());
    EXPECT_FALSE(list["Name"]["Sub"].isPresent());
    EXPECT_FALSE(list["Name"].data());
    EXPECT_FALSE(list["Name"].boolean());
    EXPECT_FALSE(list.at(0).isPresent());
    EXPECT_FALSE(PropertyList()["x"].string());
}

TEST(PropertyList, GarbageEmptyAndMissingFilesAreAbsent) {
    test::TemporaryFolder folder;
    EXPECT_FALSE(PropertyList::fromData(test::bytesOf("not a plist at all")).isPresent());
    EXPECT_FALSE(PropertyList::fromData({}).isPresent());
    EXPECT_FALSE(PropertyList::fromData(test::bytesOf("bplist00\x01\x02")).isPresent());
    EXPECT_FALSE(PropertyList::fromFile(folder / "missing").isPresent());
    test::writeFile(folder / "array.plist", PlistValue::array().encode(PlistFormat::Binary));
    EXPECT_TRUE(PropertyList::fromFile(folder / "array.plist").isPresent());
    EXPECT_FALSE(PropertyList::dictionaryFromFile(folder / "array.plist").isPresent());
}

TEST(PropertyList, DataStaysValidWhileAChildLives) {
    std::optional<std::span<const std::byte>> bytes;
    PropertyList child;
    {
        PropertyList list = PropertyList::fromData(
            PlistValue::dictionary({{"Data", PlistValue::data(test::bytesOf("payload"))}})
                .encode(PlistFormat::Binary));
        child = list["Data"];
    }
    bytes = child.data();
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->size(), 7u);
    EXPECT_EQ(static_cast<char>((*bytes)[0]), 'p');
}

}  // namespace
}  // namespace salvora
