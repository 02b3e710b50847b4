// The text of attributedBody archives, at every width of its length, and nothing from bytes
// that end early or are no typedstream at all.
#include <gtest/gtest.h>

#include "plist/Typedstream.h"
#include "support/SmsDatabaseWriter.h"
#include "support/TemporaryFolder.h"

namespace salvora {
namespace {

class TypedstreamTexts : public ::testing::TestWithParam<std::string> {};

TEST_P(TypedstreamTexts, ReadsTheStringAndNothingFromAnyShorterPrefix) {
    const std::string archive = test::typedstreamOf(GetParam());
    const auto bytes = test::bytesOf(archive);
    EXPECT_EQ(typedstreamText(bytes), GetParam());
    // The two bytes after the text end the objects, which the text doesn't need.
    for (std::size_t size = 0; size + 2 < bytes.size(); ++size)
        EXPECT_EQ(typedstreamText(std::span(bytes).first(size)), std::nullopt) << size;
}

INSTANTIATE_TEST_SUITE_P(, TypedstreamTexts,
                         ::testing::Values("Hi there", "Grüße 👋", std::string(300, 'a'),
                                           std::string(70'000, 'b')),
                         [](const auto& info) {
                             return "Length" + std::to_string(info.param.size());
                         });

TEST(Typedstream, RefusesWhatIsNoArchivedString) {
    std::string notUtf8 = test::typedstreamOf("ab");
    notUtf8[notUtf8.size() - 4] = '\xFF';
    std::string otherClass = test::typedstreamOf("ab");
    for (auto at = otherClass.find("String"); at != std::string::npos;
         at = otherClass.find("String"))
        otherClass[at + 5] = 'x';
    for (const std::string& bytes : {std::string("plain text"), notUtf8, otherClass,
                                     std::string("\x04\x0bstreamtypes\x81\xe8\x03", 17)})
        EXPECT_EQ(typedstreamText(test::bytesOf(bytes)), std::nullopt);
}

}  // namespace
}  // namespace salvora
