#include "crypto/UnlockedKeybag.h"

#include <string>

#include "crypto/KeyDerivation.h"
#include "crypto/KeyWrap.h"
#include "foundation/ByteCursor.h"

namespace salvora {
namespace {

Error unlockError(std::string reason) {
    return Error{"Could not unlock the keybag", "", std::move(reason)};
}

Error keyError(std::string reason) {
    return Error{"Could not unwrap a key", "", std::move(reason)};
}

}  // namespace

const SecretKey* UnlockedKeybag::classKey(std::uint32_t protectionClass) const {
    auto found = classKeys_.find(protectionClass);
    return found == classKeys_.end() ? nullptr : &found->second;
}

Result<SecretKey> UnlockedKeybag::unwrapKey(std::span<const std::byte> classAndWrappedKey) const {
    ByteCursor cursor(classAndWrappedKey);
    auto protectionClass = cursor.readLittleEndian(4);
    if (!protectionClass || cursor.remaining() != WrappedKeySize)
        return keyError("A wrapped key takes " + std::to_string(4 + WrappedKeySize) +
                        " bytes, not " + std::to_string(classAndWrappedKey.size()));
    const auto number = static_cast<std::uint32_t>(*protectionClass);
    const SecretKey* classKey = this->classKey(number);
    if (classKey == nullptr)
        return keyError("The keybag has no key for protection class " + std::to_string(number));
    auto key = aesUnwrapKey(*classKey, *cursor.readBytes(WrappedKeySize));
    if (!key)
        return keyError("The key wrapped with protection class " + std::to_string(number) +
                        " is damaged");
    return *key;
}

Result<UnlockedKeybag> unlockKeybag(const Keybag& keybag, std::string_view password) {
    // Only a key of the right length can fail the unwrap for want of the right password.
    auto unwrappable = [](const KeybagClass& block) {
        return block.isWrappedWithPassword() && block.wrappedKey.size() == WrappedKeySize;
    };
    std::size_t candidates = 0;
    for (const auto& [number, block] : keybag.classes)
        if (unwrappable(block)) ++candidates;
    if (candidates == 0)
        return unlockError("The keybag holds no class key wrapped with the password");

    auto passwordKey = derivePasswordKey(keybag, password);
    if (!passwordKey) return passwordKey.error();
    std::map<std::uint32_t, SecretKey> classKeys;
    for (const auto& [number, block] : keybag.classes) {
        if (!unwrappable(block)) continue;
        if (auto key = aesUnwrapKey(*passwordKey, block.wrappedKey))
            classKeys.emplace(number, *key);
    }
    if (classKeys.empty()) {
        Error wrong = unlockError(std::string(WrongPassword));
        wrong.kind = ErrorKind::WrongPassword;
        return wrong;
    }
    return UnlockedKeybag(std::move(classKeys));
}

}  // namespace salvora
