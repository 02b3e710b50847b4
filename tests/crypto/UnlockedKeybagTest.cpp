#include "crypto/UnlockedKeybag.h"

#include <gtest/gtest.h>

#include "support/KeyBytes.h"
#include "support/KeybagWriter.h"

namespace salvora {
namespace {
using test::Bytes;
using test::countingBytes;
using test::FixtureKeybag;
using test::keyBytes;
using test::KeyDerivationVariant;

Result<UnlockedKeybag> unlock(const FixtureKeybag& fixture, std::string_view password) {
    auto keybag = parseKeybag(fixture.encode());
    if (!keybag) return keybag.error();
    return unlockKeybag(*keybag, password);
}

class UnlockBothVariants : public testing::TestWithParam<KeyDerivationVariant> {
  protected:
    FixtureKeybag fixture() const {
        FixtureKeybag keybag;
        keybag.variant = GetParam();
        return keybag;
    }
};

TEST_P(UnlockBothVariants, RightPasswordGivesEveryClassKey) {
    const FixtureKeybag keybag = fixture();
    auto unlocked = unlock(keybag, keybag.password);
    ASSERT_TRUE(unlocked);
    EXPECT_EQ(unlocked->classCount(), 4u);
    for (const auto& [number, key] : keybag.classKeys) {
        ASSERT_NE(unlocked->classKey(number), nullptr);
        EXPECT_EQ(keyBytes(*unlocked->classKey(number)), key);
    }
    EXPECT_EQ(unlocked->classKey(5), nullptr);
}

TEST_P(UnlockBothVariants, WrongPasswordIsSaidSo) {
    auto unlocked = unlock(fixture(), "Correct horse");
    ASSERT_FALSE(unlocked);
    EXPECT_EQ(unlocked.error().reason, "wrong password");
    EXPECT_EQ(unlocked.error().kind, ErrorKind::WrongPassword);
}

TEST(UnlockedKeybag, UnwrapsKeysStoredWithTheirClass) {
    const FixtureKeybag keybag;
    auto unlocked = unlock(keybag, keybag.password);
    ASSERT_TRUE(unlocked);
    auto key = unlocked->unwrapKey(keybag.wrapWithClass(3, countingBytes(0xA0)));
    ASSERT_TRUE(key);
    EXPECT_EQ(keyBytes(*key), countingBytes(0xA0));
}

INSTANTIATE_TEST_SUITE_P(Variants, UnlockBothVariants,
                         testing::Values(KeyDerivationVariant::SaltOnly,
                                         KeyDerivationVariant::PreDerivation));

TEST(UnlockKeybag, ATamperedClassIsLeftOutAndTheOthersUnlock) {
    FixtureKeybag keybag;
    keybag.tamperedClasses = {2};
    auto unlocked = unlock(keybag, keybag.password);
    ASSERT_TRUE(unlocked);
    EXPECT_EQ(unlocked->classCount(), 3u);
    EXPECT_EQ(unlocked->classKey(2), nullptr);
    auto key = unlocked->unwrapKey(keybag.wrapWithClass(2, countingBytes(0xA0)));
    ASSERT_FALSE(key);
    EXPECT_EQ(key.error().reason, "The keybag has no key for protection class 2");
}

TEST(UnlockKeybag, EveryClassTamperedReadsAsAWrongPassword) {
    FixtureKeybag keybag;
    keybag.tamperedClasses = {1, 2, 3, 4};
    auto unlocked = unlock(keybag, keybag.password);
    ASSERT_FALSE(unlocked);
    EXPECT_EQ(unlocked.error().kind, ErrorKind::WrongPassword);
}

TEST(UnlockKeybag, NoPasswordWrappedClassIsNotAWrongPassword) {
    FixtureKeybag fixture;
    auto keybag = parseKeybag(fixture.encode());
    ASSERT_TRUE(keybag);
    keybag->classes.at(1).wrap = 1;  // wrapped with the device's key only
    keybag->classes.at(2).wrappedKey.resize(24);
    keybag->classes.erase(3);
    keybag->classes.erase(4);
    auto unlocked = unlockKeybag(*keybag, fixture.password);
    ASSERT_FALSE(unlocked);
    EXPECT_EQ(unlocked.error().kind, ErrorKind::Failed);
    EXPECT_EQ(unlocked.error().reason, "The keybag holds no class key wrapped with the password");
}

struct BadStoredKey {
    const char* name;
    Bytes bytes;
    const char* reason;
};

void PrintTo(const BadStoredKey& key, std::ostream* out) { *out << key.name; }

class BadStoredKeyTest : public testing::TestWithParam<BadStoredKey> {};

TEST_P(BadStoredKeyTest, FailsWithAReason) {
    FixtureKeybag keybag;
    auto unlocked = unlock(keybag, keybag.password);
    ASSERT_TRUE(unlocked);
    auto key = unlocked->unwrapKey(GetParam().bytes);
    ASSERT_FALSE(key);
    EXPECT_EQ(key.error().reason, GetParam().reason);
}

std::vector<BadStoredKey> badStoredKeys() {
    const FixtureKeybag keybag;
    const Bytes good = keybag.wrapWithClass(3, countingBytes(0xA0));
    Bytes otherClass = good;
    otherClass[0] = std::byte{4};  // the class says 4, the key is wrapped with class 3's
    Bytes bigEndianClass = good;
    std::swap(bigEndianClass[0], bigEndianClass[3]);
    Bytes longer = good;
    longer.push_back(std::byte{0});
    return {
        {"Empty", {}, "A wrapped key takes 44 bytes, not 0"},
        {"ClassOnly", Bytes(good.begin(), good.begin() + 4), "A wrapped key takes 44 bytes, not 4"},
        {"CutShort", Bytes(good.begin(), good.end() - 1), "A wrapped key takes 44 bytes, not 43"},
        {"Longer", longer, "A wrapped key takes 44 bytes, not 45"},
        {"BigEndianClass", bigEndianClass, "The keybag has no key for protection class 50331648"},
        {"WrongClass", otherClass, "The key wrapped with protection class 4 is damaged"},
        {"Tampered", test::tampered(good, 20),
         "The key wrapped with protection class 3 is damaged"},
    };
}

INSTANTIATE_TEST_SUITE_P(Table, BadStoredKeyTest, testing::ValuesIn(badStoredKeys()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace salvora
