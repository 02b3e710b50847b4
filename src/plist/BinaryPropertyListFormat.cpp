#include "plist/BinaryPropertyListFormat.h"

#include "foundation/ByteCursor.h"

namespace salvora {
namespace {

constexpr std::size_t trailerSize = 32;
// The trailer starts with six unused bytes.
constexpr std::size_t trailerUnusedSize = 6;

}  // namespace

std::optional<BinaryPropertyListTrailer> readBinaryPropertyListTrailer(
    std::span<const std::byte> bytes) {
    if (bytes.size() < binaryPropertyListHeaderSize + trailerSize) return std::nullopt;
    const std::uint64_t tableEnd = bytes.size() - trailerSize;
    ByteCursor cursor(bytes, tableEnd + trailerUnusedSize);
    BinaryPropertyListTrailer trailer;
    trailer.offsetSize = *cursor.readBigEndian(1);
    trailer.referenceSize = *cursor.readBigEndian(1);
    trailer.objectCount = *cursor.readBigEndian(8);
    trailer.topObject = *cursor.readBigEndian(8);
    trailer.offsetTable = *cursor.readBigEndian(8);
    const bool sound =
        trailer.offsetSize >= 1 && trailer.offsetSize <= 8 && trailer.referenceSize >= 1 &&
        trailer.referenceSize <= 8 && trailer.topObject < trailer.objectCount &&
        trailer.offsetTable >= binaryPropertyListHeaderSize && trailer.offsetTable <= tableEnd &&
        trailer.objectCount <= (tableEnd - trailer.offsetTable) / trailer.offsetSize;
    if (!sound) return std::nullopt;
    return trailer;
}

}  // namespace salvora
