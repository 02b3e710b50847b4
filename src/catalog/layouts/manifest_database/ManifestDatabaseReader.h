#pragma once

// The manifest database: "Manifest.mbdx", an index of 26-byte entries, pointing by offset into
// "Manifest.mbdb", the records. Both are big-endian; a string is a 16-bit length and that many
// UTF-8 bytes, the length 0xFFFF meaning no string at all.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "catalog/layouts/LayoutReading.h"
#include "catalog/model/DeviceFileMode.h"
#include "catalog/model/Records.h"
#include "foundation/ByteCursor.h"

namespace salvora {

// Each reads a big-endian value at the cursor and moves past it; nullopt, with the cursor
// unmoved, when the value runs past the end. Inline: a catalogue build reads millions.
template <typename Unsigned>
std::optional<Unsigned> getBigEndian(ByteCursor& cursor) {
    auto value = cursor.readBigEndian(sizeof(Unsigned));
    if (!value) return std::nullopt;
    return static_cast<Unsigned>(*value);
}
inline std::optional<std::uint8_t> getUint8(ByteCursor& cursor) {
    return getBigEndian<std::uint8_t>(cursor);
}
inline std::optional<std::uint16_t> getUint16(ByteCursor& cursor) {
    return getBigEndian<std::uint16_t>(cursor);
}
inline std::optional<std::uint32_t> getUint32(ByteCursor& cursor) {
    return getBigEndian<std::uint32_t>(cursor);
}
inline std::optional<std::uint64_t> getUint64(ByteCursor& cursor) {
    return getBigEndian<std::uint64_t>(cursor);
}

// A database string: the text (a view into the loaded bytes), or none for this length.
inline constexpr std::uint16_t absentStringLength = 0xFFFF;
using ManifestString = std::optional<std::string_view>;

// Reads one string and moves past it (2 + length bytes, or 2 for no string); nullopt, with the
// cursor unmoved, when its bytes run past the end.
inline std::optional<ManifestString> getString(ByteCursor& cursor) {
    const std::size_t start = cursor.position();
    std::optional<std::uint16_t> length = getUint16(cursor);
    if (!length) return std::nullopt;
    if (*length == absentStringLength) return ManifestString();
    std::optional<std::string_view> text = cursor.readText(*length);
    if (!text) {
        cursor.seek(start);
        return std::nullopt;
    }
    return ManifestString(*text);
}

inline constexpr std::string_view manifestIndexMagic{"mbdx\x02\x00", 6};
inline constexpr std::string_view manifestDatabaseMagic{"mbdb\x05\x00", 6};

// Whether the bytes start with the six bytes of the magic.
bool hasMagic(std::span<const std::byte> bytes, std::string_view magic);

// Files every regular-file entry of the index under its application, in index order; adds
// nothing unless both buffers start with their magic.
void addManifestDatabaseFiles(std::span<const std::byte> index, std::span<const std::byte> database,
                              ApplicationMap& applications);

// Reads folder/"Manifest.mbdx" and folder/"Manifest.mbdb"; adds nothing when either is missing
// or has the wrong magic, and says which. An empty layout when the folder has no index.
LayoutReading addManifestDatabaseFilesFromDirectory(const std::string& directory,
                                                    ApplicationMap& applications);

}  // namespace salvora
