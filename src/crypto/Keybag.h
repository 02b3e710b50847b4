#pragma once

// The keybag of an encrypted backup ("BackupKeyBag" in "Manifest.plist"): a run of records,
// each a 4-byte ASCII tag, a 4-byte big-endian length and the value; 4-byte values are
// big-endian integers. The header comes first; every UUID after the keybag's own starts the
// block of one protection class.
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <vector>

#include "foundation/Error.h"

namespace salvora {

struct KeybagClass {
    std::uint32_t protectionClass = 0;     // CLAS
    std::uint32_t wrap = 0;                // WRAP: bit 2 means wrapped with the password key
    std::optional<std::uint32_t> keyType;  // KTYP
    std::vector<std::byte> uuid;           // UUID
    std::vector<std::byte> wrappedKey;     // WPKY
    std::vector<std::byte> publicKey;      // PBKY; empty when absent

    static constexpr std::uint32_t WrappedWithPassword = 2;
    bool isWrappedWithPassword() const { return (wrap & WrappedWithPassword) != 0; }
};

// The first derivation round that keybags from iOS 10.2 on put before the classic one.
struct PasswordPreDerivation {
    std::optional<std::uint32_t> kind;  // DPWT
    std::uint32_t iterations = 0;       // DPIC
    std::vector<std::byte> salt;        // DPSL
};

struct Keybag {
    std::optional<std::uint32_t> version;  // VERS
    std::optional<std::uint32_t> type;     // TYPE
    std::vector<std::byte> uuid;           // UUID
    std::vector<std::byte> hmacKey;        // HMCK
    std::optional<std::uint32_t> wrap;     // WRAP
    std::vector<std::byte> salt;           // SALT
    std::uint32_t iterations = 0;          // ITER
    // Present exactly when the keybag has a DPSL.
    std::optional<PasswordPreDerivation> preDerivation;
    // By protection class number, never by position.
    std::map<std::uint32_t, KeybagClass> classes;
};

// Reads every record, checking each length against what is left. Fails on a cut-short
// record, an integer that isn't 4 bytes, a class block without CLAS, a class number given
// twice, or a header without SALT or ITER (or with DPSL but no DPIC). Unknown tags are
// passed over.
Result<Keybag> parseKeybag(std::span<const std::byte> bytes);

}  // namespace salvora
