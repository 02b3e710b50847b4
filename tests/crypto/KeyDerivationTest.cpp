#include "crypto/KeyDerivation.h"

#include <gtest/gtest.h>

#include "support/KeyBytes.h"
#include "support/KeybagWriter.h"
#include "support/TemporaryFolder.h"

namespace salvora {
namespace {
using test::bytesOf;
using test::FixtureKeybag;
using test::fromHex;
using test::keyBytes;
using test::KeyDerivationVariant;

Keybag keybagWith(std::string_view salt, std::uint32_t iterations) {
    Keybag keybag;
    keybag.salt = bytesOf(salt);
    keybag.iterations = iterations;
    return keybag;
}

// PBKDF2-HMAC-SHA1 of "password" and "salt" (RFC 6070 gives the first 20 bytes).
TEST(DerivePasswordKey, KnownAnswersWithoutPreDerivation) {
    auto once = derivePasswordKey(keybagWith("salt", 1), "password");
    ASSERT_TRUE(once);
    EXPECT_EQ(keyBytes(*once),
              fromHex("0c60c80f961f0e71f3a9b524af6012062fe037a6e0f0eb94fe8fc46bdc637164"));
    auto twice = derivePasswordKey(keybagWith("salt", 2), "password");
    ASSERT_TRUE(twice);
    EXPECT_EQ(keyBytes(*twice),
              fromHex("ea6c014dc72d6f8ccd1ed92ace1d41f0d8de8957cae93136266537a8d7bf4b76"));
}

TEST(DerivePasswordKey, KnownAnswerWithPreDerivation) {
    Keybag keybag = keybagWith("salt", 3);
    keybag.preDerivation = PasswordPreDerivation{1, 2, bytesOf("pepper")};
    auto key = derivePasswordKey(keybag, "password");
    ASSERT_TRUE(key);
    EXPECT_EQ(keyBytes(*key),
              fromHex("df72554d54bd2491136e254b669fd3b626c5bde6913e6d208ff185d31adee32d"));
}

TEST(DerivePasswordKey, VariantIsChosenByThePresenceOfDpsl) {
    for (auto variant : {KeyDerivationVariant::SaltOnly, KeyDerivationVariant::PreDerivation}) {
        FixtureKeybag fixture;
        fixture.variant = variant;
        auto keybag = parseKeybag(fixture.encode());
        ASSERT_TRUE(keybag);
        auto key = derivePasswordKey(*keybag, fixture.password);
        ASSERT_TRUE(key);
        EXPECT_EQ(keyBytes(*key), fixture.passwordKey());
    }
}

struct AbsurdCount {
    const char* name;
    std::uint32_t iterations;
    std::optional<std::uint32_t> preIterations;
    const char* reason;
};

void PrintTo(const AbsurdCount& count, std::ostream* out) { *out << count.name; }

class AbsurdIterationCount : public testing::TestWithParam<AbsurdCount> {};

TEST_P(AbsurdIterationCount, IsRefusedBeforeAnyWork) {
    Keybag keybag = keybagWith("salt", GetParam().iterations);
    if (GetParam().preIterations)
        keybag.preDerivation = PasswordPreDerivation{1, *GetParam().preIterations, bytesOf("p")};
    auto key = derivePasswordKey(keybag, "password");
    ASSERT_FALSE(key);
    EXPECT_EQ(key.error().reason, GetParam().reason);
}

INSTANTIATE_TEST_SUITE_P(
    Table, AbsurdIterationCount,
    testing::Values(
        AbsurdCount{"ZeroIter", 0, std::nullopt,
                    "The keybag asks for no iterations at all (ITER is 0)"},
        AbsurdCount{"HugeIter", 4294967295u, std::nullopt,
                    "The keybag asks for 4294967295 iterations (ITER); more than 10000000 are "
                    "refused"},
        AbsurdCount{"JustAboveLimitIter", MaximumKeybagIterations + 1, 1,
                    "The keybag asks for 10000001 iterations (ITER); more than 10000000 are "
                    "refused"},
        AbsurdCount{"ZeroDpic", 1, 0, "The keybag asks for no iterations at all (DPIC is 0)"},
        AbsurdCount{"HugeDpic", 1, 4000000000u,
                    "The keybag asks for 4000000000 iterations (DPIC); more than 10000000 are "
                    "refused"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace salvora
