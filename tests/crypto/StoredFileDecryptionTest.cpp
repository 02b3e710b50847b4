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
    Bytes plaintext;
    std::size_t largestPiece = 0;
};

Collected decrypt(const std::string& path, std::optional<std::uint64_t> size,
                  const Bytes& key = FileKey) {
    Collected result;
    result.error =
        decryptStoredFile(path, secretKey(key), size, [&](std::span<const std::byte> piece) {
            result.plaintext.insert(result.plaintext.end(), piece.begin(), piece.end());
            result.largestPiece = std::max(result.largestPiece, piece.size());
            return ErrorSlot{};
        });
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

TEST(DecryptStoredFile, AnEmptyFileRecordedAsEmptyIsEmpty) {
    TemporaryFolder folder;
    writeFile(folder / "empty", "");
    auto result = decrypt(folder / "empty", 0);
    EXPECT_FALSE(result.error);
    EXPECT_TRUE(result.plaintext.empty());
}

struct DamagedFile {
    const char* name;
    Bytes stored;
    std::optional<std::uint64_t> size;
    const char* reason;
    bool decryptsNothing;  // the length alone told, before any decryption
};

void PrintTo(const DamagedFile& file, std::ostream* out) { *out << file.name; }

class DamagedFileTest : public testing::TestWithParam<DamagedFile> {};

TEST_P(DamagedFileTest, FailsWithAReason) {
    TemporaryFolder folder;
    writeFile(folder / "file", GetParam().stored);
    auto result = decrypt(folder / "file", GetParam().size);
    ASSERT_TRUE(result.error);
    EXPECT_EQ(result.error->operation, "Could not decrypt");
    EXPECT_EQ(result.error->path, folder / "file");
    EXPECT_EQ(result.error->reason, GetParam().reason);
    if (GetParam().decryptsNothing) {
        EXPECT_TRUE(result.plaintext.empty());
    }
}

std::vector<DamagedFile> damagedFiles() {
    const Bytes contents = patterned(40);  // 48 bytes stored
    const Bytes stored = test::encryptCbc(FileKey, contents);
    Bytes badPadding = patterned(48);
    badPadding[47] = std::byte{0};  // a zero padding length
    Bytes unevenPadding = patterned(48);
    unevenPadding[47] = std::byte{3};  // says three bytes, but the two before aren't 3
    Bytes tooLongPadding = patterned(48);
    tooLongPadding[47] = std::byte{17};
    Bytes shortPadding = contents;  // valid padding of 4 where the size says 8 bytes padding
    for (int i = 0; i < 8; ++i) shortPadding.push_back(std::byte{4});
    return {
        {"TruncatedMidBlock", Bytes(stored.begin(), stored.end() - 5), 40,
         "Its length, 43 bytes, is not a whole number of 16-byte blocks", true},
        {"TruncatedMidBlockNoSize", Bytes(stored.begin(), stored.end() - 5), std::nullopt,
         "Its length, 43 bytes, is not a whole number of 16-byte blocks", true},
        {"TruncatedByABlock", Bytes(stored.begin(), stored.end() - 16), 40,
         "It holds 32 bytes, which cannot decrypt to its recorded size of 40 bytes", true},
        {"LongerThanTheSize", stored, 20,
         "It holds 48 bytes, which cannot decrypt to its recorded size of 20 bytes", true},
        {"ShorterThanTheSize", stored, 60,
         "It holds 48 bytes, which cannot decrypt to its recorded size of 60 bytes", true},
        {"EmptyWithSize",
         {},
         5,
         "It holds 0 bytes, which cannot decrypt to its recorded size of 5 bytes",
         true},
        {"EmptyWithoutSize", {}, std::nullopt, "It is empty: it holds no encrypted block", true},
        {"HugeSize", stored, 0xFFFFFFFFFFFFFFF8u,
         "It holds 48 bytes, which cannot decrypt to its recorded size of 18446744073709551608 "
         "bytes",
         true},
        {"PaddingDisagreesWithSize", test::encryptBlocks(FileKey, shortPadding), 40,
         "It decrypts to 44 bytes, but its recorded size is 40 bytes", false},
        {"ZeroPadding", test::encryptBlocks(FileKey, badPadding), 40,
         "Its padding is damaged: the key is wrong or the file is", false},
        {"UnevenPadding", test::encryptBlocks(FileKey, unevenPadding), std::nullopt,
         "Its padding is damaged: the key is wrong or the file is", false},
        {"PaddingLongerThanABlock", test::encryptBlocks(FileKey, tooLongPadding), 40,
         "Its padding is damaged: the key is wrong or the file is", false},
        {"WrongKey", test::encryptCbc(countingBytes(0x01), patterned(2000)), 2000,
         "Its padding is damaged: the key is wrong or the file is", false},
    };
}

INSTANTIATE_TEST_SUITE_P(Table, DamagedFileTest, testing::ValuesIn(damagedFiles()),
                         [](const auto& info) { return std::string(info.param.name); });

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
    ErrorSlot error = decryptStoredFile(folder / "large", secretKey(FileKey), std::nullopt,
                                        [&](std::span<const std::byte>) -> ErrorSlot {
                                            ++calls;
                                            return Error{"Could not write", "out", "Disk full"};
                                        });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->reason, "Disk full");
    EXPECT_EQ(calls, 1);
}

TEST(DecryptStoredFile, ReadsAnOpenDescriptorAndNamesThePathGiven) {
    TemporaryFolder folder;
    const Bytes contents = patterned(100);
    writeFile(folder / "stored", test::encryptCbc(FileKey, contents));
    int fd = ::open((folder / "stored").c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    Bytes plaintext;
    EXPECT_FALSE(decryptStoredFile(
        fd, "shown", secretKey(FileKey), contents.size(), [&](std::span<const std::byte> piece) {
            plaintext.insert(plaintext.end(), piece.begin(), piece.end());
            return ErrorSlot{};
        }));
    EXPECT_EQ(plaintext, contents);
    ::close(fd);
    fd = ::open(folder.path().c_str(), O_RDONLY | O_DIRECTORY);
    ErrorSlot error = decryptStoredFile(fd, "shown", secretKey(FileKey), std::nullopt,
                                        [](std::span<const std::byte>) { return ErrorSlot{}; });
    ::close(fd);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->description(), "Could not decrypt \"shown\": Not a regular file");
}

TEST(DescriptorSink, WritesThePlaintextToTheDescriptor) {
    TemporaryFolder folder;
    const Bytes contents = patterned(DecryptionChunkSize + 5);
    writeFile(folder / "stored", test::encryptCbc(FileKey, contents));
    int fd = ::open((folder / "out").c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    ASSERT_GE(fd, 0);
    EXPECT_FALSE(decryptStoredFile(folder / "stored", secretKey(FileKey), contents.size(),
                                   descriptorSink(fd, folder / "out")));
    ::close(fd);
    EXPECT_TRUE(test::readBytes(folder / "out") == contents);

    fd = ::open((folder / "out").c_str(), O_RDONLY);
    ErrorSlot error = decryptStoredFile(folder / "stored", secretKey(FileKey), std::nullopt,
                                        descriptorSink(fd, folder / "out"));
    ::close(fd);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->description(),
              "Could not write \"" + folder / "out" + "\": Bad file descriptor");
}

}  // namespace
}  // namespace salvora
