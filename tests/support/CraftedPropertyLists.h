#pragma once

// Property lists no writer makes but an attacker can: binary lists assembled object by object
// (nested deeper than any real list, sharing containers, keys holding NUL, trailers that lie)
// and XML nested to any depth.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace salvora::test {

class RawBinaryPlist {
  public:
    // The width of every object reference, 1 to 8 bytes.
    explicit RawBinaryPlist(std::size_t referenceSize = 4) : referenceSize_(referenceSize) {}

    // Each adds one object and returns its number; references may name objects added later.
    std::uint64_t addArray(const std::vector<std::uint64_t>& references);
    std::uint64_t addDictionary(
        const std::vector<std::pair<std::uint64_t, std::uint64_t>>& entries);
    std::uint64_t addAsciiString(std::string_view text);
    std::uint64_t addUtf16String(std::u16string_view text);

    std::size_t objectCount() const { return objects_.size(); }

    // "bplist00", the objects, an offset table of 8-byte offsets and a trailer that tells
    // the truth about them.
    std::vector<std::byte> encode(std::uint64_t topObject = 0) const;

  private:
    std::uint64_t add(std::vector<std::byte> object);
    void appendReferences(std::vector<std::byte>& object,
                          const std::vector<std::uint64_t>& references) const;

    std::size_t referenceSize_;
    std::vector<std::vector<std::byte>> objects_;
};

// Where the trailer's fields lie from the end of an encoded binary list.
inline constexpr std::size_t trailerOffsetSizeFromEnd = 26;
inline constexpr std::size_t trailerReferenceSizeFromEnd = 25;
inline constexpr std::size_t trailerObjectCountFromEnd = 24;
inline constexpr std::size_t trailerTopObjectFromEnd = 16;
inline constexpr std::size_t trailerOffsetTableFromEnd = 8;

// `depth` arrays, each holding the next; the innermost is empty.
std::vector<std::byte> nestedBinaryArrays(std::size_t depth);
// The same as XML: "<array>" `depth` times, then as many closing tags when `closed`.
std::string nestedXmlArrays(std::size_t depth, bool closed = true);

}  // namespace salvora::test
