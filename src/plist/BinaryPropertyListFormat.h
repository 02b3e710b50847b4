#pragma once

// The frame of a binary property list: an 8-byte header ("bplist" and a version), the
// objects, a table of their offsets, and a 32-byte trailer that says how wide offsets and
// references are, how many objects there are, which one is the top and where the table starts.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <string_view>

namespace salvora {

inline constexpr std::size_t binaryPropertyListHeaderSize = 8;

// The header of the version the in-place readers take apart.
inline constexpr std::string_view binaryPropertyListMagic = "bplist00";

inline bool startsWithBinaryPropertyListMagic(std::span<const std::byte> bytes) {
    return bytes.size() >= binaryPropertyListMagic.size() &&
           std::memcmp(bytes.data(), binaryPropertyListMagic.data(),
                       binaryPropertyListMagic.size()) == 0;
}

// The kinds of object, the high half of an object's marker byte, that the readers take apart.
// A class the readers derive from, so the names read plainly in their code.
struct BinaryObjectKind {
    enum : std::size_t {
        None = 0x0,  // null, the booleans and fill; also an object that can't be read
        Integer = 0x1,
        Data = 0x4,
        AsciiString = 0x5,
        Utf16String = 0x6,
        Uid = 0x8,
        Array = 0xA,
        Set = 0xC,
        Dictionary = 0xD,
    };
};

struct BinaryPropertyListTrailer {
    std::size_t offsetSize = 0;     // bytes of one entry of the offset table, 1 to 8
    std::size_t referenceSize = 0;  // bytes of one reference to an object, 1 to 8
    std::uint64_t objectCount = 0;
    std::uint64_t topObject = 0;
    std::uint64_t offsetTable = 0;  // where the offset table starts, past the header
};

// The trailer of the bytes, absent unless it is sound: widths of 1 to 8 bytes, a top object
// among the objects, and an offset table of every object that lies between the header and the
// trailer. The header itself is the caller's to check.
std::optional<BinaryPropertyListTrailer> readBinaryPropertyListTrailer(
    std::span<const std::byte> bytes);

}  // namespace salvora
