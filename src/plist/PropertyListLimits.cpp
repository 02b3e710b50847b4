#include "plist/PropertyListLimits.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "foundation/ByteCursor.h"
#include "plist/BinaryPropertyListFormat.h"

namespace salvora {
namespace {

// --- Binary lists: "bplist00", objects, an offset table, and a 32-byte trailer.

// libplist reads anything that begins so as a binary list, whatever version follows.
constexpr std::string_view binaryMagic = binaryPropertyListMagic.substr(0, 6);
// libplist makes a value, and copies its text or data, each time an object is referenced.
// Real lists share texts but no containers, so the allowances leave them ample room.
constexpr std::uint64_t valuesPerByte = 4;
constexpr std::uint64_t valueAllowance = 4096;
constexpr std::uint64_t copiedBytesPerByte = 32;
constexpr std::uint64_t copiedByteAllowance = 1 << 20;

// Walks the object graph from the top object as libplist will, counting every value it will
// make and every byte of text and data it will copy, without recursion of its own.
class BinaryListWalk : private BinaryObjectKind {
  public:
    BinaryListWalk(std::span<const std::byte> bytes, const BinaryPropertyListTrailer& trailer)
        : bytes_(bytes),
          trailer_(trailer),
          valueAllowance_(valuesPerByte * bytes.size() + valueAllowance),
          copiedByteAllowance_(copiedBytesPerByte * bytes.size() + copiedByteAllowance) {}

    bool isWithinLimits() {
        std::vector<std::pair<std::uint64_t, std::size_t>> pending{{trailer_.topObject, 1}};
        values_ = 1;
        while (!pending.empty()) {
            auto [object, depth] = pending.back();
            pending.pop_back();
            if (!visit(object, depth, pending)) return false;
        }
        return true;
    }

  private:
    // A cursor on the object's marker byte; absent when its offset leaves the object area.
    std::optional<ByteCursor> objectAt(std::uint64_t object) const {
        ByteCursor table(bytes_, trailer_.offsetTable + object * trailer_.offsetSize);
        auto offset = table.readBigEndian(trailer_.offsetSize);
        if (!offset || *offset < binaryPropertyListHeaderSize || *offset >= trailer_.offsetTable)
            return std::nullopt;
        return ByteCursor(bytes_, *offset);
    }

    // The count in the marker's low four bits, or in the integer object after it when they are
    // all set.
    static std::optional<std::uint64_t> readCount(ByteCursor& cursor, unsigned low) {
        if (low != 0xF) return low;
        auto marker = cursor.readBigEndian(1);
        if (!marker || (*marker >> 4) != Integer || (*marker & 0xF) > 3) return std::nullopt;
        return cursor.readBigEndian(std::size_t{1} << (*marker & 0xF));
    }

    // The size in bytes of a text's units: 2 for UTF-16, 1 for ASCII and data, 0 for others.
    static std::size_t unitSize(unsigned kind) {
        if (kind == Utf16String) return 2;
        return kind == AsciiString || kind == Data ? 1 : 0;
    }

    // libplist stops the process when a key's text holds a NUL. (A key looked at again and
    // again is also copied again and again, so the copy allowance bounds the looking too.)
    bool isKeyWithNul(std::uint64_t object) const {
        auto cursor = objectAt(object);
        if (!cursor) return false;  // the walk refuses it when it gets there
        const unsigned kind = static_cast<unsigned>(*cursor->readBigEndian(1));
        const std::size_t unit = unitSize(kind >> 4);
        if ((kind >> 4) != AsciiString && (kind >> 4) != Utf16String) return false;
        auto count = readCount(*cursor, kind & 0xF);
        if (!count || *count > cursor->remaining() / unit) return false;
        for (std::uint64_t i = 0; i < *count; ++i) {
            if (*cursor->readBigEndian(unit) == 0) return true;
        }
        return false;
    }

    // A text or data value is copied whole; a length beyond the end is libplist's to refuse.
    bool copyFits(ByteCursor& cursor, unsigned marker) {
        const std::size_t unit = unitSize(marker >> 4);
        if (unit == 0) return true;
        auto count = readCount(cursor, marker & 0xF);
        if (!count || *count > cursor.remaining() / unit) return true;
        copiedBytes_ += *count * unit;
        return copiedBytes_ <= copiedByteAllowance_;
    }

    bool visit(std::uint64_t object, std::size_t depth,
               std::vector<std::pair<std::uint64_t, std::size_t>>& pending) {
        auto cursor = objectAt(object);
        if (!cursor) return false;
        const unsigned marker = static_cast<unsigned>(*cursor->readBigEndian(1));
        const unsigned kind = marker >> 4;
        if (kind != Array && kind != Set && kind != Dictionary) return copyFits(*cursor, marker);
        auto count = readCount(*cursor, marker & 0xF);
        const std::uint64_t referencesPerEntry = kind == Dictionary ? 2 : 1;
        if (!count || *count > cursor->remaining() / (trailer_.referenceSize * referencesPerEntry))
            return false;
        const std::uint64_t references = *count * referencesPerEntry;
        // Counted before they are queued, so the queue never outgrows the allowance.
        values_ += references;
        if (values_ > valueAllowance_ || (references > 0 && depth >= maxPropertyListDepth))
            return false;
        for (std::uint64_t i = 0; i < references; ++i) {
            auto reference = *cursor->readBigEndian(trailer_.referenceSize);
            if (reference >= trailer_.objectCount) return false;
            if (kind == Dictionary && i < *count && isKeyWithNul(reference)) return false;
            pending.emplace_back(reference, depth + 1);
        }
        return true;
    }

    std::span<const std::byte> bytes_;
    BinaryPropertyListTrailer trailer_;
    std::uint64_t valueAllowance_;
    std::uint64_t copiedByteAllowance_;
    std::uint64_t values_ = 0;
    std::uint64_t copiedBytes_ = 0;
};

// --- XML lists.

constexpr std::string_view containerNames[] = {"array", "dict"};

bool isContainerName(std::string_view name) {
    return std::find(std::begin(containerNames), std::end(containerNames), name) !=
           std::end(containerNames);
}

// How many container tags the text could open at most, whatever a parser makes of the rest.
std::size_t containerOpenings(std::string_view text) {
    std::size_t openings = 0;
    for (std::string_view name : containerNames) {
        std::string tag(1, '<');
        tag += name;
        for (auto at = text.find(tag); at != std::string_view::npos; at = text.find(tag, at + 1))
            ++openings;
    }
    return openings;
}

// The markup starting at `position`: a comment, a CDATA section or a processing instruction
// up to its end marker, as libplist skips them, or a tag up to the first ">". Absent when it
// runs to the end of the text, or is a tag holding a "<" or an odd number of double quotes
// (libplist honours quoted values), where parsers could disagree on its end.
std::optional<std::string_view> markupAt(std::string_view text, std::size_t position) {
    static constexpr std::pair<std::string_view, std::string_view> skipped[] = {
        {"<!--", "-->"}, {"<![CDATA[", "]]>"}, {"<?", "?>"}};
    const std::string_view rest = text.substr(position);
    for (const auto& [start, end] : skipped) {
        if (!rest.starts_with(start)) continue;
        const std::size_t found = rest.find(end, start.size());
        if (found == std::string_view::npos) return std::nullopt;
        return rest.substr(0, found + end.size());
    }
    const std::size_t found = rest.find('>');
    if (found == std::string_view::npos) return std::nullopt;
    const std::string_view tag = rest.substr(0, found + 1);
    if (tag.find('<', 1) != std::string_view::npos || std::count(tag.begin(), tag.end(), '"') % 2)
        return std::nullopt;
    return tag;
}

bool isXmlNestingWithinLimit(std::string_view text) {
    if (containerOpenings(text) <= maxPropertyListDepth) return true;
    // Many containers: follow the nesting, refusing markup a parser could read differently.
    std::size_t depth = 0;
    for (auto position = text.find('<'); position != std::string_view::npos;
         position = text.find('<', position)) {
        std::optional<std::string_view> markup = markupAt(text, position);
        if (!markup) return false;
        position += markup->size();
        const bool closing = markup->starts_with("</");
        std::string_view name = markup->substr(closing ? 2 : 1);
        name = name.substr(0, name.find_first_of(" \t\r\n/>"));
        if (!isContainerName(name)) continue;
        if (closing) {
            if (depth > 0) --depth;
        } else if (!markup->ends_with("/>") && ++depth > maxPropertyListDepth) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool isWithinPropertyListLimits(std::span<const std::byte> bytes) {
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (!text.starts_with(binaryMagic)) return isXmlNestingWithinLimit(text);
    std::optional<BinaryPropertyListTrailer> trailer = readBinaryPropertyListTrailer(bytes);
    return trailer && BinaryListWalk(bytes, *trailer).isWithinLimits();
}

}  // namespace salvora
