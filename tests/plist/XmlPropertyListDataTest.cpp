#include "plist/XmlPropertyListData.h"

#include <gtest/gtest.h>

#include "plist/PropertyList.h"
#include "support/PlistValue.h"
#include "support/TemporaryFolder.h"

namespace salvora {
namespace {
using test::PlistValue;

TEST(XmlPropertyListData, OnlyTheWantedDataIsLeftForTheDecoder) {
    const auto wanted = test::bytesOf("wanted");
    const PlistValue list = PlistValue::dictionary(
        {{"a", PlistValue::dictionary({{"iTunesMetadata", PlistValue::data(wanted)},
                                       {"Icon", PlistValue::data(test::bytesOf("icon"))}})},
         {"Name", PlistValue::string("<data>")}});
    const std::vector<std::byte> encoded = list.encode(test::PlistFormat::Xml);
    std::string xml(reinterpret_cast<const char*>(encoded.data()), encoded.size());
    // A comment's "<data>" opens no value.
    xml.insert(xml.find("<key>"), "<!-- <key>x</key><data>AAAA</data> -->");

    const std::optional<std::string> kept =
        keepingOnlyDataOf(test::bytesOf(xml), {"iTunesMetadata"});
    const PropertyList read = PropertyList::fromData(test::bytesOf(kept.value_or("")));
    EXPECT_TRUE(std::ranges::equal(read["a"]["iTunesMetadata"].data().value(), wanted));
    EXPECT_TRUE(read["a"]["Icon"].data().value().empty());
    EXPECT_EQ(read["Name"].string(), "<data>");

    EXPECT_EQ(keepingOnlyDataOf(list.encode(test::PlistFormat::Binary), {}), std::nullopt);
    EXPECT_EQ(keepingOnlyDataOf(test::bytesOf("<plist><data>AAAA"), {}), "<plist><data>AAAA");
}

}  // namespace
}  // namespace salvora
