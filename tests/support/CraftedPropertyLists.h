#pragma once

// Property lists no writer makes but an attacker can: binary lists assembled object by object
// (nested deeper than any real list, sharing containers, keys holding NUL, trailers that lie)
// and XML nested to any depth.
#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace salvora::test {

class RawBinaryPlist {
  public:
    // The width of every object reference and of every entry of the offset table, 1 to 8
    // bytes each.
    explicit RawBinaryPlist(std::size_t referenceSize = 4, std::size_t offsetSize = 8)
        : referenceSize_(referenceSize), offsetSize_(offsetSize) {}

    // Adds an object given whole, marker byte and all; returns its number.
    std::uint64_t add(std::vector<std::byte> object);

    // Each adds one object and returns its number; references may name objects added later.
    std::uint64_t addArray(const std::vector<std::uint64_t>& references);
    std::uint64_t addDictionary(
        const std::vector<std::pair<std::uint64_t, std::uint64_t>>& entries);
    std::uint64_t addAsciiString(std::string_view text);
    std::uint64_t addUtf16String(std::u16string_view text);
    std::uint64_t addData(std::size_t size);
    // `depth` arrays, each holding the next, the innermost empty; returns the outermost.
    std::uint64_t addNestedArrays(std::size_t depth);
    // `levels` arrays, each holding the next twice: 2^levels values once expanded.
    std::uint64_t addSharedArrays(std::size_t levels);

    std::size_t objectCount() const { return objects_.size(); }

    // "bplist00", the objects, their offset table and a trailer that tells the truth about
    // them.
    std::vector<std::byte> encode(std::uint64_t topObject = 0) const;

  private:
    void appendReferences(std::vector<std::byte>& object,
                          const std::vector<std::uint64_t>& references) const;

    std::size_t referenceSize_;
    std::size_t offsetSize_;
    std::vector<std::vector<std::byte>> objects_;
};

// Where the trailer's fields lie from the end of an encoded binary list.
inline constexpr std::size_t trailerOffsetSizeFromEnd = 26;
inline constexpr std::size_t trailerReferenceSizeFromEnd = 25;
inline constexpr std::size_t trailerObjectCountFromEnd = 24;
inline constexpr std::size_t trailerTopObjectFromEnd = 16;
inline constexpr std::size_t trailerOffsetTableFromEnd = 8;

// Lists of nothing but RawBinaryPlist::addNestedArrays or addSharedArrays.
std::vector<std::byte> nestedBinaryArrays(std::size_t depth);
std::vector<std::byte> sharedBinaryArrays(std::size_t levels);
// The same as XML: "<array>" `depth` times, then as many closing tags when `closed`.
std::string nestedXmlArrays(std::size_t depth, bool closed = true);

// What makes a list harmful to libplist, one at a time.
enum class PlistHarm { None, NestedTooDeep, SharedContainers, KeyHoldingNul };
std::string plistHarmName(PlistHarm harm);
inline void PrintTo(PlistHarm harm, std::ostream* out) { *out << plistHarmName(harm); }

// A chain of keys ending in a text: {"Applications", "notes", "AppInfo", "CFBundleDisplayName"}
// and "Notes" stand for Applications -> notes -> AppInfo -> CFBundleDisplayName = "Notes".
struct PlistEntry {
    std::vector<std::string> keys;
    std::string text;
};

// A binary dictionary of the entries, with the harm added as one more entry: a list that is
// sound but for the harm.
std::vector<std::byte> craftedDictionary(const std::vector<PlistEntry>& entries, PlistHarm harm);

}  // namespace salvora::test
