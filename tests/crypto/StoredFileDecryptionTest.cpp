#include "crypto/StoredFileDecryption.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "support/EncryptedBackupWriter.h"
#include "support/KeyBytes.h"
#include "support/TemporaryFolder.h"

namespace salvora {
namespace {
using test::Bytes;
using test::countingBytes;
using test::fromHex;
using test::secretKey;
using test::TemporaryFolder;
using test::writeFile;

const Bytes FileKey = countingBytes(0x00);

// Decrypts into memory, also noting the largest piece the sink was given.
struct Collected {
    ErrorSlot error;
    std::optional<LengthWarning> warning;
    Bytes plaintext;
    std::size_t largestPiece = 0;
};

Collected decrypt(const std::string& path, std::optional<std::uint64_t> size,
                  const Bytes& key = FileKey) {
    Collected result;
    auto decryption =
        decryptStoredFile(path, secretKey(key), size, [&](std::span<const std::byte> piece) {
            result.plaintext.insert(result.plaintext.end(), piece.begin(), piece.end());
            result.largestPiece = std::max(result.largestPiece, piece.size());
            return Status{};
        });
    if (!decryption) {
        result.error = decryption.error();
        return result;
    }
    result.warning = decryption->warning;
    EXPECT_EQ(decryption->length, result.plaintext.size());
    return result;
}

Bytes patterned(std::size_t size) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::byte>((i * 7 + i / 251) & 0xFF);
    return bytes;
}

// Made with `openssl enc -aes-256-cbc` and a zero IV, independently of our code.
TEST(DecryptStoredFile, KnownAnswers) {
    TemporaryFolder folder;
    writeFile(folder / "short", fromHex("72c3fc21868444b73d1d421207a39102"));
    writeFile(folder / "block",
              fromHex("ee323e4fdf892f0a73fff53870e6a87cdf83045ac7b5738e0cb9e6608690"
                      "3a8d"));
    auto shortFile = decrypt(folder / "short", 7);
    EXPECT_FALSE(shortFile.error);
    EXPECT_EQ(shortFile.plaintext, test::bytesOf("Salvora"));
    auto wholeBlock = decrypt(folder / "block", 16);  // a whole padding block follows
    EXPECT_FALSE(wholeBlock.error);
    EXPECT_EQ(wholeBlock.plaintext, test::bytesOf("sixteen bytes!!!"));
}

TEST(DecryptStoredFile, RoundTripsEveryLengthAroundABlock) {
    TemporaryFolder folder;
    for (std::size_t size : {1u, 15u, 16u, 17u, 31u, 32u, 33u, 1000u}) {
        const Bytes contents = patterned(size);
        writeFile(folder / "file", test::encryptCbc(FileKey, contents));
        auto withSize = decrypt(folder / "file", size);
        EXPECT_FALSE(withSize.error) << size;
        EXPECT_EQ(withSize.plaintext, contents) << size;
        auto withoutSize = decrypt(folder / "file", std::nullopt);
        EXPECT_FALSE(withoutSize.error) << size;
        EXPECT_EQ(withoutSize.plaintext, contents) << size;
    }
}

TEST(DecryptStoredFile, StreamsFilesLargerThanAChunkInChunks) {
    TemporaryFolder folder;
    const std::size_t size = 2 * DecryptionChunkSize + 12345;
    const Bytes contents = patterned(size);
    writeFile(folder / "large", test::encryptCbc(FileKey, contents));
    auto result = decrypt(folder / "large", size);
    EXPECT_FALSE(result.error);
    EXPECT_TRUE(result.plaintext == contents);
    EXPECT_LE(result.largestPiece, DecryptionChunkSize);
}

TEST(DecryptStoredFile, ALengthNotOfWholeBlocksFailsBeforeAnythingIsDecrypted) {
    TemporaryFolder folder;
    Bytes stored = test::encryptCbc(FileKey, patterned(40));
    stored.resize(stored.size() - 5);
    writeFile(folder / "file", stored);
    for (std::optional<std::uint64_t> size : {std::optional<std::uint64_t>(40), {}}) {
        auto result = decrypt(folder / "file", size);
        ASSERT_TRUE(result.error);
        EXPECT_EQ(result.error->description(),
                  "Could not decrypt \"" + folder / "file" +
                      "\": Its length, 43 bytes, is not a whole number of 16-byte blocks");
        EXPECT_TRUE(result.plaintext.empty());
    }
}

// A file that decrypts, but not to its recorded size or not ending in padding, is handed on
// whole, never lost; the reading that gives the recorded size wins.
struct OddFile {
    const char* name;
    Bytes blocks;  // the plaintext blocks, padding (or not) included
    std::optional<std::uint64_t> size;
    std::size_t handedOn;  // how much of the blocks is handed on
    std::string warning;   // "" for none
};

void PrintTo(const OddFile& file, std::ostream* out) { *out << file.name; }

class OddFileTest : public testing::TestWithParam<OddFile> {};

TEST_P(OddFileTest, IsHandedOnWholeWithAWarning) {
    TemporaryFolder folder;
    writeFile(folder / "file", test::encryptBlocks(FileKey, GetParam().blocks));
    auto result = decrypt(folder / "file", GetParam().size);
    ASSERT_FALSE(result.error) << result.error->description();
    EXPECT_EQ(result.plaintext,
              Bytes(GetParam().blocks.begin(),
                    GetParam().blocks.begin() + static_cast<std::ptrdiff_t>(GetParam().handedOn)));
    EXPECT_EQ(result.warning ? result.warning->description() : "", GetParam().warning);
}

Bytes withEnd(Bytes bytes, std::initializer_list<unsigned> end) {
    for (unsigned value : end) bytes.push_back(static_cast<std::byte>(value));
    return bytes;
}

std::vector<OddFile> oddFiles() {
    const Bytes padded = withEnd(patterned(40), {8, 8, 8, 8, 8, 8, 8, 8});
    const std::string keptWhole = "; its last block is not valid padding, so it was kept whole";
    return {
        {"LongerThanRecorded", padded, 20, 40,
         "its length is 40 bytes, but its recorded size is 20 bytes"},
        {"ShorterThanRecorded", padded, 60, 40,
         "its length is 40 bytes, but its recorded size is 60 bytes"},
        {"HugeRecordedSize", padded, 0xFFFFFFFFFFFFFFF8u, 40,
         "its length is 40 bytes, but its recorded size is 18446744073709551608 bytes"},
        {"CutByABlock", patterned(32), 40, 32,
         "its length is 32 bytes, but its recorded size is 40 bytes" + keptWhole},
        {"PaddingDisagreesWithSize", withEnd(patterned(40), {0, 0, 0, 0, 4, 4, 4, 4}), 40, 44,
         "its length is 44 bytes, but its recorded size is 40 bytes"},
        {"ZeroFilledWithSize", withEnd(patterned(40), {0, 0, 0, 0, 0, 0, 0, 0}), 40, 48,
         "its length is 48 bytes, but its recorded size is 40 bytes" + keptWhole},
        {"UnevenPaddingWithoutSize", withEnd(patterned(45), {3, 9, 3}), std::nullopt, 48,
         "its length is 48 bytes" + keptWhole},
        {"PaddingLongerThanABlock", withEnd(patterned(47), {17}), std::nullopt, 48,
         "its length is 48 bytes" + keptWhole},
        {"UnpaddedOfRecordedSize", withEnd(patterned(47), {0x73}), 48, 48, ""},
        {"LooksPaddedButRecordedWhole", withEnd(patterned(47), {1}), 48, 48, ""},
        {"LooksPaddedAndRecordedSo", withEnd(patterned(47), {1}), 47, 47, ""},
    };
}

INSTANTIATE_TEST_SUITE_P(Table, OddFileTest, testing::ValuesIn(oddFiles()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DecryptStoredFile, AnEmptyFileIsEmptyWithAWordWhereMoreWasRecorded) {
    TemporaryFolder folder;
    writeFile(folder / "empty", "");
    auto withoutSize = decrypt(folder / "empty", std::nullopt);
    EXPECT_FALSE(withoutSize.error);
    EXPECT_FALSE(withoutSize.warning);
    auto withSize = decrypt(folder / "empty", 5);
    EXPECT_FALSE(withSize.error);
    ASSERT_TRUE(withSize.warning);
    EXPECT_EQ(withSize.warning->description(),
              "its length is 0 bytes, but its recorded size is 5 bytes");
    EXPECT_TRUE(withSize.plaintext.empty());
}

TEST(DecryptStoredFile, MissingFilesAndFoldersFail) {
    TemporaryFolder folder;
    auto missing = decrypt(folder / "missing", std::nullopt);
    ASSERT_TRUE(missing.error);
    EXPECT_EQ(missing.error->reason, "No such file or directory");
    auto directory = decrypt(folder.path(), std::nullopt);
    ASSERT_TRUE(directory.error);
    EXPECT_EQ(directory.error->reason, "Is a directory");
}

TEST(DecryptStoredFile, ASinkErrorStopsTheDecryption) {
    TemporaryFolder folder;
    writeFile(folder / "large", test::encryptCbc(FileKey, patterned(3 * DecryptionChunkSize)));
    int calls = 0;
    auto decryption = decryptStoredFile(folder / "large", secretKey(FileKey), std::nullopt,
                                        [&](std::span<const std::byte>) -> Status {
                                            ++calls;
                                            return Error{"Could not write", "out", "Disk full"};
                                        });
    ASSERT_FALSE(decryption);
    EXPECT_EQ(decryption.error().reason, "Disk full");
    EXPECT_EQ(calls, 1);
}

TEST(DecryptStoredFile, StopsOnceWhatIsWantedWasHandedOn) {
    TemporaryFolder folder;
    writeFile(folder / "large", test::encryptCbc(FileKey, patterned(3 * DecryptionChunkSize)));
    int fd = ::open((folder / "large").c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    int calls = 0;
    auto count = [&](std::span<const std::byte>) {
        ++calls;
        return Status{};
    };
    auto decryption = decryptStoredFile(fd, "large", secretKey(FileKey), std::nullopt, count, 1);
    ::close(fd);
    ASSERT_TRUE(decryption);
    EXPECT_EQ(calls, 1);
    EXPECT_LT(decryption->length, DecryptionChunkSize);
}

TEST(DecryptStoredFile, ReadsAnOpenDescriptorAndNamesThePathGiven) {
    TemporaryFolder folder;
    const Bytes contents = patterned(100);
    writeFile(folder / "stored", test::encryptCbc(FileKey, contents));
    int fd = ::open((folder / "stored").c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    Bytes plaintext;
    EXPECT_TRUE(decryptStoredFile(fd, "shown", secretKey(FileKey), contents.size(),
                                  [&](std::span<const std::byte> piece) {
                                      plaintext.insert(plaintext.end(), piece.begin(), piece.end());
                                      return Status{};
                                  }));
    EXPECT_EQ(plaintext, contents);
    ::close(fd);
    fd = ::open(folder.path().c_str(), O_RDONLY | O_DIRECTORY);
    auto decryption = decryptStoredFile(fd, "shown", secretKey(FileKey), std::nullopt,
                                        [](std::span<const std::byte>) { return Status{}; });
    ::close(fd);
    ASSERT_FALSE(decryption);
    EXPECT_EQ(decryption.error().description(), "Could not decrypt \"shown\": Not a regular file");
}

TEST(DescriptorSink, WritesThePlaintextToTheDescriptor) {
    TemporaryFolder folder;
    const Bytes contents = patterned(DecryptionChunkSize + 5);
    writeFile(folder / "stored", test::encryptCbc(FileKey, contents));
    int fd = ::open((folder / "out").c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    ASSERT_GE(fd, 0);
    EXPECT_TRUE(decryptStoredFile(folder / "stored", secretKey(FileKey), contents.size(),
                                  descriptorSink(fd, folder / "out")));
    ::close(fd);
    EXPECT_TRUE(test::readBytes(folder / "out") == contents);

    fd = ::open((folder / "out").c_str(), O_RDONLY);
    auto decryption = decryptStoredFile(folder / "stored", secretKey(FileKey), std::nullopt,
                                        descriptorSink(fd, folder / "out"));
    ::close(fd);
    ASSERT_FALSE(decryption);
    EXPECT_EQ(decryption.error().description(),
              "Could not write \"" + folder / "out" + "\": Bad file descriptor");
}

}  // namespace
}  // namespace salvora
