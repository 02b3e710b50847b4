// The icon files the build and the installer take from resources/.
#include <gtest/gtest.h>

#include <QImage>
#include <QImageReader>
#include <set>

#include "support/TemporaryFolder.h"

namespace salvora {
namespace {

const std::string resources = SALVORA_RESOURCES_DIR;

TEST(Icon, PngRenditionsHaveTheirSizesAndTransparency) {
    for (int size : {16, 24, 48}) {
        const QImage image(QString::fromStdString(resources + "/icons/salvora-") +
                           QString::number(size) + ".png");
        EXPECT_EQ(image.size(), QSize(size, size)) << size;
        EXPECT_TRUE(image.hasAlphaChannel()) << size;
    }
}

TEST(Icon, WindowsIconHoldsThreeSizesIn32BitColour) {
    const std::vector<std::byte> bytes = test::readBytes(resources + "/icons/salvora.ico");
    const auto littleEndian16 = [&](std::size_t at) {
        return std::to_integer<int>(bytes.at(at)) | std::to_integer<int>(bytes.at(at + 1)) << 8;
    };
    ASSERT_EQ(littleEndian16(2), 1);  // an icon, not a cursor
    ASSERT_EQ(littleEndian16(4), 3);
    std::set<int> sizes;
    for (std::size_t entry = 0; entry < 3; ++entry) {
        const std::size_t at = 6 + 16 * entry;
        EXPECT_EQ(std::to_integer<int>(bytes.at(at)), std::to_integer<int>(bytes.at(at + 1)));
        sizes.insert(std::to_integer<int>(bytes.at(at)));
        EXPECT_EQ(littleEndian16(at + 6), 32) << "bits per pixel of entry " << entry;
    }
    EXPECT_EQ(sizes, (std::set<int>{16, 24, 48}));

    QImageReader reader(QString::fromStdString(resources + "/icons/salvora.ico"));
    EXPECT_EQ(reader.imageCount(), 3);
    EXPECT_FALSE(reader.read().isNull()) << reader.errorString().toStdString();
}

TEST(Icon, ResourceScriptNamesBothIconGroups) {
    const std::string script = test::readText(resources + "/salvora.rc");
    EXPECT_NE(script.find("APP ICON \"icons/salvora.ico\""), std::string::npos);
    EXPECT_NE(script.find("ICONS1 ICON \"icons/salvora.ico\""), std::string::npos);
}

}  // namespace
}  // namespace salvora
