#include "crypto/KeyWrap.h"

#include <gtest/gtest.h>

#include "support/KeyBytes.h"
#include "support/KeybagWriter.h"

namespace salvora {
namespace {
using test::countingBytes;
using test::fromHex;
using test::keyBytes;
using test::secretKey;

// RFC 3394, 4.6: 256 bits of key data wrapped with a 256-bit key.
TEST(AesUnwrapKey, RfcTestVector) {
    const SecretKey keyEncryptionKey = secretKey(countingBytes(0x00));
    auto key = aesUnwrapKey(
        keyEncryptionKey, fromHex("28C9F404C4B810F4CBCCB35CFB87F8263F5786E2D80ED326CBC7F0E71A99F43B"
                                  "FB988B9B7A02DD21"));
    ASSERT_TRUE(key);
    EXPECT_EQ(keyBytes(*key), fromHex("00112233445566778899AABBCCDDEEFF000102030405060708090A0B0C0D"
                                      "0E0F"));
}

TEST(AesUnwrapKey, FailsOnWrongKeyTamperingAndOtherLengths) {
    const auto wrapped = test::aesWrap(countingBytes(0x01), countingBytes(0x80));
    EXPECT_FALSE(aesUnwrapKey(secretKey(countingBytes(0x02)), wrapped));
    for (std::size_t index : {0u, 7u, 8u, 39u})
        EXPECT_FALSE(aesUnwrapKey(secretKey(countingBytes(0x01)), test::tampered(wrapped, index)));
    const SecretKey kek = secretKey(countingBytes(0x01));
    EXPECT_FALSE(aesUnwrapKey(kek, std::span(wrapped).first(32)));
    EXPECT_FALSE(aesUnwrapKey(kek, {}));
    auto longer = wrapped;
    longer.resize(48);
    EXPECT_FALSE(aesUnwrapKey(kek, longer));
    // A genuine wrap of a 128-bit key is refused too: every backup key is 256 bits.
    EXPECT_FALSE(aesUnwrapKey(kek, test::aesWrap(countingBytes(0x01), countingBytes(0x80, 16))));
}

}  // namespace
}  // namespace salvora
