#include "catalog/layouts/manifest_db/ArchivedFileInfo.h"

#include <gtest/gtest.h>

#include "support/ArchivedFileBlob.h"
#include "support/ArchivedFileExamples.h"
#include "support/TemporaryFolder.h"

namespace salvora {
namespace {
using test::ArchivedFileFields;
using test::PlistFormat;
using test::PlistValue;

TEST(ArchivedFileInfo, ReadsTheMbFileOfAnArchive) {
    ArchivedFileInfo info =
        readArchivedFileInfo(test::archivedFileBlob(test::fullArchivedFileFields()));
    EXPECT_EQ(info.size, 4096u);
    EXPECT_EQ(info.lastModified, 1500000000);
    EXPECT_EQ(info.protectionClass, 3u);
    EXPECT_EQ(info.encryptionKey, std::vector<std::byte>(44, std::byte{0x7E}));
    EXPECT_EQ(info.mode, 0100644u);
}

TEST(ArchivedFileInfo, ValuesTheArchiveLacksAreAbsent) {
    ArchivedFileInfo info = readArchivedFileInfo(test::archivedFileBlob({}));
    EXPECT_EQ(info.size, std::nullopt);
    EXPECT_EQ(info.lastModified, std::nullopt);
    EXPECT_EQ(info.protectionClass, std::nullopt);
    EXPECT_EQ(info.encryptionKey, std::nullopt);
}

TEST(ArchivedFileInfo, BytesThatAreNoArchiveGiveNothing) {
    for (const std::vector<std::byte>& blob :
         {std::vector<std::byte>(), test::bytesOf("bplist00 and then rubbish"),
          PlistValue::array({PlistValue::integer(1)}).encode(PlistFormat::Binary)}) {
        ArchivedFileInfo info = readArchivedFileInfo(blob);
        EXPECT_EQ(info.size, std::nullopt);
        EXPECT_EQ(info.encryptionKey, std::nullopt);
    }
}

TEST(ArchivedFileInfo, ReferencesThatLeadNowhereOrValuesOfOtherKindsAreAbsent) {
    PlistValue archive = test::archivedFilePlist(test::fullArchivedFileFields());
    archive.set("$top", PlistValue::dictionary({{"root", PlistValue::uid(99)}}));
    EXPECT_EQ(readArchivedFileInfo(archive.encode(PlistFormat::Binary)).size, std::nullopt);

    archive.set("$top", PlistValue::dictionary({{"root", PlistValue::integer(1)}}));
    EXPECT_EQ(readArchivedFileInfo(archive.encode(PlistFormat::Binary)).size, std::nullopt);

    ArchivedFileFields fields = test::fullArchivedFileFields();
    fields.encryptionKey.reset();
    PlistValue odd = test::archivedFilePlist(fields);
    PlistValue file = PlistValue::dictionary({{"Size", PlistValue::string("4096")},
                                              {"EncryptionKey", PlistValue::uid(40)},
                                              {"LastModified", PlistValue::integer(7)}});
    odd.set("$objects", PlistValue::array({PlistValue::string("$null"), file}));
    ArchivedFileInfo info = readArchivedFileInfo(odd.encode(PlistFormat::Binary));
    EXPECT_EQ(info.size, std::nullopt);
    EXPECT_EQ(info.encryptionKey, std::nullopt);
    EXPECT_EQ(info.lastModified, 7);
}

}  // namespace
}  // namespace salvora
