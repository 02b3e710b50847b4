#include "plist/BinaryPropertyList.h"

#include <array>
#include <bit>

#include <unicode/utf16.h>
#include <unicode/utf8.h>

#include "foundation/ByteCursor.h"
#include "plist/BinaryPropertyListFormat.h"

namespace salvora {
namespace {

// A count small enough to stand in the marker byte; larger ones follow as an integer.
constexpr std::uint64_t extendedCount = 0x0F;

// A big-endian unsigned number of any width; of one wider than eight bytes, the low eight.
std::optional<std::uint64_t> readNumber(ByteCursor& cursor, std::size_t width) {
    if (width > 8 && !cursor.skip(width - 8)) return std::nullopt;
    return cursor.readBigEndian(width > 8 ? 8 : width);
}

// a * b, absent when it overflows.
std::optional<std::uint64_t> product(std::uint64_t a, std::uint64_t b) {
    if (a != 0 && b > UINT64_MAX / a) return std::nullopt;
    return a * b;
}

}  // namespace

std::optional<BinaryPropertyList> BinaryPropertyList::open(std::span<const std::byte> bytes) {
    if (!startsWithBinaryPropertyListMagic(bytes)) return std::nullopt;
    std::optional<BinaryPropertyListTrailer> trailer = readBinaryPropertyListTrailer(bytes);
    if (!trailer) return std::nullopt;
    return BinaryPropertyList(bytes, trailer->offsetSize, trailer->referenceSize,
                              trailer->objectCount, trailer->topObject, trailer->offsetTable);
}

BinaryPropertyList::Value BinaryPropertyList::root() const { return value(rootObject_); }

BinaryPropertyList::Value BinaryPropertyList::value(std::optional<std::uint64_t> number) const {
    return Value(this, number ? object(*number) : Object());
}

// Where the object starts; past the end of the objects (so no read there succeeds) when the
// number or its offset lead nowhere.
std::size_t BinaryPropertyList::offsetOf(std::uint64_t number) const {
    if (number >= objectCount_) return objects_.size();
    // Within the table, which open() checked.
    ByteCursor entry(bytes_, offsetTable_ + static_cast<std::size_t>(number) * offsetSize_);
    const std::uint64_t offset = *entry.readBigEndian(offsetSize_);
    return offset < offsetTable_ ? static_cast<std::size_t>(offset) : objects_.size();
}

BinaryPropertyList::Object BinaryPropertyList::object(std::uint64_t number) const {
    ByteCursor cursor(objects_, offsetOf(number));
    if (cursor.remaining() == 0) return {};
    const auto marker = static_cast<std::uint8_t>(*cursor.readBigEndian(1));
    Object found{std::size_t{marker} >> 4, marker & 0x0Fu, 0};
    std::uint64_t size = 0;
    switch (found.kind) {
        case Integer:
            if (found.count > 4) return {};
            size = std::uint64_t{1} << found.count;
            break;
        case Uid:
            size = found.count + 1;
            break;
        case Data:
        case AsciiString:
        case Utf16String:
        case Array:
        case Dictionary: {
            if (found.count == extendedCount) {
                auto countMarker = cursor.readBigEndian(1);
                if (!countMarker || (*countMarker >> 4) != Integer) return {};
                auto count = readNumber(cursor, std::size_t{1} << (*countMarker & 0x0F));
                if (!count) return {};
                found.count = *count;
            }
            const std::uint64_t unit = found.kind == Utf16String  ? 2
                                       : found.kind == Array      ? referenceSize_
                                       : found.kind == Dictionary ? 2 * referenceSize_
                                                                  : 1;
            auto bytes = product(found.count, unit);
            if (!bytes) return {};
            size = *bytes;
            break;
        }
        default:
            return {};
    }
    if (size > cursor.remaining()) return {};
    found.contents = cursor.position();
    return found;
}

std::optional<std::uint64_t> BinaryPropertyList::reference(const Object& container,
                                                           std::uint64_t index) const {
    ByteCursor cursor(objects_,
                      container.contents + static_cast<std::size_t>(index) * referenceSize_);
    return cursor.readBigEndian(referenceSize_);
}

bool BinaryPropertyList::Key::operator==(std::string_view ascii) const {
    if (kind == AsciiString) return bytes == ascii;
    if (bytes.size() != 2 * ascii.size()) return false;
    for (std::size_t i = 0; i < ascii.size(); ++i) {
        if (bytes[2 * i] != 0 || bytes[2 * i + 1] != ascii[i]) return false;
    }
    return true;
}

BinaryPropertyList::Key BinaryPropertyList::key(std::uint64_t number) const {
    const Object text = object(number);
    if (text.kind != AsciiString && text.kind != Utf16String) return {};
    ByteCursor cursor(objects_, text.contents);
    const auto units = static_cast<std::size_t>(text.count);
    // object() checked that the characters lie inside.
    return Key{*cursor.readText(text.kind == Utf16String ? 2 * units : units), text.kind};
}

void BinaryPropertyList::values(const Object& dictionary, std::span<const std::string_view> keys,
                                std::span<Value> found) const {
    // Keys are mostly short ASCII strings, whose marker byte alone tells their length: only a
    // dictionary key of a wanted length is compared. Any other key is read whole; keys after
    // one that is no string are not looked at.
    std::array<std::uint32_t, extendedCount> wantedOfLength{};
    std::uint32_t left = 0;
    for (std::size_t wanted = 0; wanted < keys.size() && wanted < 32; ++wanted) {
        if (keys[wanted].size() < extendedCount)
            wantedOfLength[keys[wanted].size()] |= 1u << wanted;
        left |= 1u << wanted;
    }
    // A value found here belongs to this list even when it can't be read: its key's first
    // entry is the one that counts.
    auto take = [&](std::size_t wanted, std::uint64_t entry) {
        found[wanted] = value(reference(dictionary, dictionary.count + entry));
        left &= ~(1u << wanted);
    };
    ByteCursor keyNumbers(objects_, dictionary.contents);
    for (std::uint64_t entry = 0; entry < dictionary.count && left != 0; ++entry) {
        // object() checked that the references lie inside.
        const std::uint64_t keyNumber = *keyNumbers.readBigEndian(referenceSize_);
        ByteCursor cursor(objects_, offsetOf(keyNumber));
        const std::uint64_t marker = cursor.readBigEndian(1).value_or(0);
        if ((marker >> 4) == AsciiString && (marker & 0x0F) != extendedCount) {
            const auto length = static_cast<std::size_t>(marker & 0x0F);
            std::uint32_t candidates = wantedOfLength[length] & left;
            if (candidates == 0) continue;
            std::optional<std::string_view> text = cursor.readText(length);
            if (!text) return;
            for (; candidates != 0; candidates &= candidates - 1) {
                const auto wanted = static_cast<std::size_t>(std::countr_zero(candidates));
                if (*text == keys[wanted]) take(wanted, entry);
            }
            continue;
        }
        const Key text = key(keyNumber);
        if (text.kind == None) return;
        for (std::size_t wanted = 0; wanted < keys.size() && wanted < 32; ++wanted) {
            if ((left & (1u << wanted)) != 0 && text == keys[wanted]) take(wanted, entry);
        }
    }
}

BinaryPropertyList::Value BinaryPropertyList::Value::operator[](std::string_view key) const {
    return valuesFor(std::array{key})[0];
}

BinaryPropertyList::Value BinaryPropertyList::Value::at(std::uint64_t index) const {
    const Object* array = ofKind(Array);
    if (array == nullptr || index >= array->count) return Value();
    return list_->value(list_->reference(*array, index));
}

std::optional<std::uint64_t> BinaryPropertyList::Value::unsignedInteger() const {
    const Object* integer = ofKind(Integer);
    if (integer == nullptr) return std::nullopt;
    ByteCursor cursor(list_->objects_, integer->contents);
    return readNumber(cursor, std::size_t{1} << integer->count);
}

std::optional<std::uint64_t> BinaryPropertyList::Value::uid() const {
    const Object* uid = ofKind(Uid);
    if (uid == nullptr) return std::nullopt;
    ByteCursor cursor(list_->objects_, uid->contents);
    return readNumber(cursor, static_cast<std::size_t>(uid->count) + 1);
}

std::optional<std::span<const std::byte>> BinaryPropertyList::Value::data() const {
    const Object* data = ofKind(Data);
    if (data == nullptr) return std::nullopt;
    ByteCursor cursor(list_->objects_, data->contents);
    return cursor.readBytes(static_cast<std::size_t>(data->count));
}

std::optional<std::string> BinaryPropertyList::Value::text() const {
    if (object_.kind != AsciiString && object_.kind != Utf16String) return std::nullopt;
    ByteCursor cursor(list_->objects_, object_.contents);
    const auto units = static_cast<std::size_t>(object_.count);
    // object() checked that the characters lie inside.
    if (object_.kind == AsciiString) return std::string(*cursor.readText(units));
    const std::span<const std::byte> bytes = *cursor.readBytes(2 * units);
    auto unitAt = [bytes](std::size_t index) {
        return static_cast<UChar32>((std::to_integer<unsigned>(bytes[2 * index]) << 8) |
                                    std::to_integer<unsigned>(bytes[2 * index + 1]));
    };
    std::string text;
    text.reserve(units);
    for (std::size_t index = 0; index < units; ++index) {
        UChar32 character = unitAt(index);
        if (U16_IS_SURROGATE(character)) {
            if (!U16_IS_SURROGATE_LEAD(character) || index + 1 == units ||
                !U16_IS_TRAIL(unitAt(index + 1)))
                return std::nullopt;
            character = U16_GET_SUPPLEMENTARY(character, unitAt(++index));
        }
        std::array<char, U8_MAX_LENGTH> encoded{};
        std::int32_t length = 0;
        U8_APPEND_UNSAFE(encoded.data(), length, character);
        text.append(encoded.data(), static_cast<std::size_t>(length));
    }
    return text;
}

}  // namespace salvora
