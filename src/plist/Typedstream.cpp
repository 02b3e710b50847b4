#include "plist/Typedstream.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>

#include "foundation/ByteCursor.h"
#include "foundation/Utf8Text.h"

namespace salvora {
namespace {

// Bytes with a meaning of their own where an integer may stand: the next two or four bytes
// hold it (little-endian), or an object, a class or a shared string begins.
constexpr std::uint8_t twoByteInteger = 0x81;
constexpr std::uint8_t fourByteInteger = 0x82;
constexpr std::uint8_t newItem = 0x84;

constexpr std::string_view signature = "streamtyped";
// How far past a string class's name its characters may begin: the rest of the class chain
// (versions, a superclass or a reference to one) and the type "+".
constexpr std::size_t classChainReach = 64;

std::optional<std::uint64_t> readInteger(ByteCursor& cursor) {
    auto first = cursor.readLittleEndian(1);
    if (!first) return std::nullopt;
    if (*first == twoByteInteger) return cursor.readLittleEndian(2);
    if (*first == fourByteInteger) return cursor.readLittleEndian(4);
    if (*first >= 0x80) return std::nullopt;  // a tag, or a negative number: no length
    return first;
}

bool readHeader(ByteCursor& cursor) {
    auto version = cursor.readLittleEndian(1);
    if (!version || (*version != 3 && *version != 4)) return false;
    auto length = readInteger(cursor);
    if (!length || *length != signature.size()) return false;
    auto name = cursor.readText(signature.size());
    if (!name || *name != signature) return false;
    return readInteger(cursor).has_value();  // the archiving system's version
}

// Where the characters of the first string object begin: after the name of its class, the
// shared type string "+" (0x84, length 1, '+') or a reference to it, then the length.
std::optional<std::size_t> findStringClass(std::span<const std::byte> bytes, std::size_t from) {
    static constexpr std::array<std::string_view, 2> names = {"NSString", "NSMutableString"};
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    std::optional<std::size_t> nearest;
    for (std::string_view name : names) {
        // A class name is a shared string: its length byte right before it.
        for (std::size_t at = text.find(name, from); at != std::string_view::npos;
             at = text.find(name, at + 1)) {
            if (at > 0 && static_cast<unsigned char>(text[at - 1]) == name.size()) {
                if (!nearest || at < *nearest) nearest = at + name.size();
                break;
            }
        }
    }
    return nearest;
}

}  // namespace

std::optional<std::string> typedstreamText(std::span<const std::byte> bytes) {
    ByteCursor cursor(bytes);
    if (!readHeader(cursor)) return std::nullopt;
    auto afterClass = findStringClass(bytes, cursor.position());
    if (!afterClass) return std::nullopt;
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    const std::size_t reach = std::min(text.size(), *afterClass + classChainReach);
    for (std::size_t at = *afterClass; at + 2 < reach; ++at) {
        // The type "+": a new shared string of one character, or (once shared) a reference.
        if (text[at] != '+' || static_cast<unsigned char>(text[at - 1]) != 1 ||
            static_cast<unsigned char>(text[at - 2]) != newItem)
            continue;
        ByteCursor characters(bytes, at + 1);
        auto length = readInteger(characters);
        if (!length) return std::nullopt;
        auto body = characters.readText(*length);
        if (!body) return std::nullopt;
        auto valid = utf8Text(std::optional<std::string_view>(*body));
        if (!valid) return std::nullopt;
        return std::string(*valid);
    }
    return std::nullopt;
}

}  // namespace salvora
