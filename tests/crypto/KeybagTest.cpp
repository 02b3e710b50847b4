#include "crypto/Keybag.h"

#include <gtest/gtest.h>

#include "support/KeybagWriter.h"
#include "support/TemporaryFolder.h"

namespace salvora {
namespace {
using test::Bytes;
using test::countingBytes;
using test::FixtureKeybag;
using test::KeybagRecords;
using test::KeyDerivationVariant;

TEST(ParseKeybag, ReadsHeaderAndClassesOfBothVariants) {
    FixtureKeybag fixture;
    auto keybag = parseKeybag(fixture.encode());
    ASSERT_TRUE(keybag);
    EXPECT_EQ(keybag->version, 4u);
    EXPECT_EQ(keybag->type, 1u);
    EXPECT_EQ(keybag->uuid, countingBytes(0xE0, 16));
    EXPECT_EQ(keybag->hmacKey.size(), 40u);
    EXPECT_EQ(keybag->wrap, 0u);
    EXPECT_EQ(keybag->salt, fixture.salt);
    EXPECT_EQ(keybag->iterations, 3u);
    ASSERT_TRUE(keybag->preDerivation);
    EXPECT_EQ(keybag->preDerivation->kind, 1u);
    EXPECT_EQ(keybag->preDerivation->iterations, 2u);
    EXPECT_EQ(keybag->preDerivation->salt, fixture.preSalt);
    ASSERT_EQ(keybag->classes.size(), 4u);
    const KeybagClass& third = keybag->classes.at(3);
    EXPECT_EQ(third.protectionClass, 3u);
    EXPECT_EQ(third.uuid, countingBytes(0x30, 16));
    EXPECT_TRUE(third.isWrappedWithPassword());
    EXPECT_EQ(third.keyType, 0u);
    EXPECT_EQ(third.wrappedKey.size(), 40u);
    EXPECT_TRUE(third.publicKey.empty());

    fixture.variant = KeyDerivationVariant::SaltOnly;
    keybag = parseKeybag(fixture.encode());
    ASSERT_TRUE(keybag);
    EXPECT_FALSE(keybag->preDerivation);
    EXPECT_EQ(keybag->classes.size(), 4u);
}

TEST(ParseKeybag, ClassesAreFoundByNumberWhateverTheirOrder) {
    KeybagRecords records;
    records.add("SALT", countingBytes(0, 20))
        .addInteger("ITER", 1)
        .add("UUID", countingBytes(0, 16));
    for (std::uint32_t number : {11u, 2u, 7u}) {
        records.add("UUID", countingBytes(static_cast<std::uint8_t>(number), 16))
            .addInteger("CLAS", number)
            .addInteger("WRAP", number == 7 ? 1 : 2)
            .add("WPKY", countingBytes(static_cast<std::uint8_t>(number), 40))
            .add("PBKY", countingBytes(0x99, 32));
    }
    auto keybag = parseKeybag(records.bytes());
    ASSERT_TRUE(keybag);
    ASSERT_EQ(keybag->classes.size(), 3u);
    EXPECT_EQ(keybag->classes.at(11).wrappedKey, countingBytes(11, 40));
    EXPECT_EQ(keybag->classes.at(2).wrappedKey, countingBytes(2, 40));
    EXPECT_FALSE(keybag->classes.at(7).isWrappedWithPassword());
    EXPECT_EQ(keybag->classes.at(7).publicKey, countingBytes(0x99, 32));
    EXPECT_FALSE(keybag->classes.at(11).keyType);
    EXPECT_FALSE(keybag->wrap);  // a class's WRAP is not the header's
}

TEST(ParseKeybag, UnknownTagsAndLateHeaderRecordsAreTaken) {
    KeybagRecords records;
    records.add("UUID", countingBytes(0, 16))
        .add("ZZZZ", countingBytes(0, 3))
        .add("UUID", countingBytes(1, 16))
        .addInteger("CLAS", 5)
        .add("SALT", countingBytes(7, 20))  // a header tag inside a class block
        .addInteger("ITER", 9)
        .add("EMPT", {});
    auto keybag = parseKeybag(records.bytes());
    ASSERT_TRUE(keybag);
    EXPECT_EQ(keybag->salt, countingBytes(7, 20));
    EXPECT_EQ(keybag->iterations, 9u);
    EXPECT_EQ(keybag->classes.count(5), 1u);
}

struct MalformedKeybag {
    const char* name;
    Bytes bytes;
    const char* reason;  // a part of the error's reason
};

void PrintTo(const MalformedKeybag& keybag, std::ostream* out) { *out << keybag.name; }

Bytes minimalHeader() {
    KeybagRecords records;
    records.add("UUID", countingBytes(0, 16))
        .add("SALT", countingBytes(0, 20))
        .addInteger("ITER", 1);
    return records.bytes();
}

Bytes withRecords(Bytes bytes, const KeybagRecords& more) {
    bytes.insert(bytes.end(), more.bytes().begin(), more.bytes().end());
    return bytes;
}

Bytes cut(Bytes bytes, std::size_t keep) {
    bytes.resize(keep);
    return bytes;
}

std::vector<MalformedKeybag> malformedKeybags() {
    const Bytes good = FixtureKeybag{}.encode();
    KeybagRecords noSalt, noIter, noDpic, shortIter, longClas, noClas, twice;
    noSalt.add("UUID", countingBytes(0, 16)).addInteger("ITER", 1);
    noIter.add("SALT", countingBytes(0, 20));
    noDpic.add("SALT", countingBytes(0, 20))
        .addInteger("ITER", 1)
        .add("DPSL", countingBytes(0, 20));
    shortIter.add("SALT", countingBytes(0, 20)).add("ITER", countingBytes(0, 3));
    longClas.add("UUID", countingBytes(0, 16)).add("CLAS", countingBytes(0, 8));
    noClas.add("UUID", countingBytes(0, 16))
        .addInteger("WRAP", 2)
        .add("WPKY", countingBytes(0, 40));
    for (int i = 0; i < 2; ++i) twice.add("UUID", countingBytes(0, 16)).addInteger("CLAS", 3);
    Bytes hugeLength = minimalHeader();
    for (std::byte b : test::bytesOf("WPKY\xFF\xFF\xFF\xFF")) hugeLength.push_back(b);
    return {
        {"Empty", {}, "empty"},
        {"HalfATag", cut(good, 2), "cut short"},
        {"TagWithoutLength", cut(good, 6), "cut short"},
        {"ValueCutShort", cut(good, 20), "claims 4 bytes, but only 0 remain"},
        {"LastValueCutShort", cut(good, good.size() - 1), "claims 40 bytes, but only 39 remain"},
        {"LengthBeyondEverything", hugeLength, "claims 4294967295 bytes"},
        {"Garbage", test::bytesOf("this is not a keybag at all"), "claims"},
        {"NoSalt", noSalt.bytes(), "no SALT"},
        {"NoIter", noIter.bytes(), "no ITER"},
        {"DpslWithoutDpic", noDpic.bytes(), "DPSL but no DPIC"},
        {"ShortInteger", shortIter.bytes(), "\"ITER\" at byte 28 holds 3 bytes"},
        {"LongClassNumber", withRecords(minimalHeader(), longClas), "\"CLAS\""},
        {"ClassWithoutNumber", withRecords(minimalHeader(), noClas), "has no CLAS"},
        {"ClassTwice", withRecords(minimalHeader(), twice), "repeats protection class 3"},
    };
}

class MalformedKeybagTest : public testing::TestWithParam<MalformedKeybag> {};

TEST_P(MalformedKeybagTest, FailsWithAReason) {
    auto keybag = parseKeybag(GetParam().bytes);
    ASSERT_FALSE(keybag);
    const Error& error = keybag.error();
    EXPECT_EQ(error.operation, "Could not read the keybag");
    EXPECT_NE(error.reason.find(GetParam().reason), std::string::npos) << error.reason;
}

INSTANTIATE_TEST_SUITE_P(Table, MalformedKeybagTest, testing::ValuesIn(malformedKeybags()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ParseKeybag, EveryTruncationFailsCleanly) {
    const Bytes good = FixtureKeybag{}.encode();
    for (std::size_t keep = 0; keep < good.size(); ++keep) {
        Bytes piece(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(keep));
        auto keybag = parseKeybag(piece);
        // Cut exactly between records, what is left reads, short of the last class's key.
        if (keybag) {
            EXPECT_TRUE(keybag->classes.size() < 4 || keybag->classes.at(4).wrappedKey.empty())
                << keep;
        }
    }
}

}  // namespace
}  // namespace salvora
