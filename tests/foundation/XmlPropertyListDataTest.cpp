#include "foundation/XmlPropertyListData.h"

#include <gtest/gtest.h>

#include "foundation/PropertyList.h"
#include "support/PlistValue.h"
#include "support/TemporaryFolder.h"

namespace salvora {
namespace {
using test::PlistFormat;
using test::PlistValue;

TEST(XmlPropertyListData, OnlyTheWantedDataIsLeftForTheDecoder) {
    const auto wanted = test::bytesOf("wanted bytes");
    const auto icon = test::bytesOf(std::string(3000, '\x89'));
    const PlistValue application =
        PlistValue::dictionary({{"iTunesMetadata", PlistValue::data(wanted)},
                                {"PlaceholderIcon", PlistValue::data(icon)}});
    std::vector<std::byte> xml =
        PlistValue::dictionary({{"Applications", PlistValue::dictionary({{"a", application}})},
                                {"Name", PlistValue::string("<data>&amp;")}})
            .encode(PlistFormat::Xml);
    // A comment before the first key: its "<data>" opens no value.
    std::string text(reinterpret_cast<const char*>(xml.data()), xml.size());
    text.insert(text.find("<key>"), "<!-- <key>x</key><data>AAAA</data> -->");
    xml = test::bytesOf(text);

    const std::optional<std::string> kept = keepingOnlyDataOf(xml, {"iTunesMetadata"});
    ASSERT_TRUE(kept);
    EXPECT_LT(kept->size(), 1000u);
    const PropertyList list = PropertyList::fromData(std::as_bytes(std::span(*kept)));
    const PropertyList read = list["Applications"]["a"];
    ASSERT_TRUE(read["iTunesMetadata"].data());
    EXPECT_TRUE(std::ranges::equal(*read["iTunesMetadata"].data(), wanted));
    EXPECT_EQ(read["PlaceholderIcon"].kind(), PropertyList::Kind::Data);
    EXPECT_TRUE(read["PlaceholderIcon"].data()->empty());
    EXPECT_EQ(list["Name"].string(), "<data>&amp;");
}

TEST(XmlPropertyListData, ABinaryListOrUnfinishedXmlIsNeverMadeWorse) {
    const PlistValue list = PlistValue::dictionary({{"d", PlistValue::data(test::bytesOf("x"))}});
    EXPECT_EQ(keepingOnlyDataOf(list.encode(PlistFormat::Binary), {}), std::nullopt);
    const auto unfinished = test::bytesOf("<plist><dict><key>d</key><data>AAAA");
    EXPECT_EQ(keepingOnlyDataOf(unfinished, {}), "<plist><dict><key>d</key><data>AAAA");
}

}  // namespace
}  // namespace salvora
