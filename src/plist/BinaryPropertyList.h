#pragma once

// A binary property list ("bplist00") read where it lies: an object is found only when it is
// asked for, every offset, count and length checked before it is used. Made for the millions
// of small archives of a Manifest.db, where decoding each whole costs more than the rest of the
// catalogue build.
//
// Look-ups on an absent value, or on a value of another kind, yield absent, as with
// PropertyList; a list whose trailer or offset table is unsound opens as nothing at all.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "plist/BinaryPropertyListFormat.h"

namespace salvora {

class BinaryPropertyList : private BinaryObjectKind {
  public:
    class Value;

    // Absent unless the bytes start with "bplist00" and end with a sound trailer.
    static std::optional<BinaryPropertyList> open(std::span<const std::byte> bytes);

    Value root() const;

  private:
    // An object's kind (the high half of its marker byte; None when it can't be read), its
    // count (of elements, bytes or characters) and where its contents start. All fields are
    // full words: the object is copied often, and copying mixed widths stalls the processor.
    struct Object {
        std::size_t kind = None;
        std::uint64_t count = 0;
        std::size_t contents = 0;
    };

    BinaryPropertyList(std::span<const std::byte> bytes, std::size_t offsetSize,
                       std::size_t referenceSize, std::uint64_t objectCount,
                       std::uint64_t rootObject, std::uint64_t offsetTable)
        : bytes_(bytes),
          objects_(bytes.first(static_cast<std::size_t>(offsetTable))),
          offsetSize_(offsetSize),
          referenceSize_(referenceSize),
          objectCount_(objectCount),
          rootObject_(rootObject),
          offsetTable_(static_cast<std::size_t>(offsetTable)) {}

    // A dictionary key's text: its bytes, two to a character when it is UTF-16; empty bytes
    // and no kind when the key is no string.
    struct Key {
        std::string_view bytes;
        std::size_t kind = None;
        bool operator==(std::string_view ascii) const;
    };

    Value value(std::optional<std::uint64_t> number) const;
    std::size_t offsetOf(std::uint64_t number) const;
    Object object(std::uint64_t number) const;
    std::optional<std::uint64_t> reference(const Object& container, std::uint64_t index) const;
    Key key(std::uint64_t number) const;
    // The value of each key (its first entry, should it repeat), in one pass over the
    // dictionary's keys.
    void values(const Object& dictionary, std::span<const std::string_view> keys,
                std::span<Value> found) const;

    std::span<const std::byte> bytes_;
    std::span<const std::byte> objects_;  // every object lies before the offset table
    std::size_t offsetSize_;
    std::size_t referenceSize_;
    std::uint64_t objectCount_;
    std::uint64_t rootObject_;
    std::size_t offsetTable_;
};

// One object of the list, or absent.
class BinaryPropertyList::Value {
  public:
    Value() = default;  // absent

    // A dictionary's value for the key (the first, should the key repeat).
    Value operator[](std::string_view key) const;
    // The same for several keys, looked up together.
    template <std::size_t N>
    std::array<Value, N> valuesFor(const std::array<std::string_view, N>& keys) const;
    // An array's element.
    Value at(std::uint64_t index) const;

    std::optional<std::uint64_t> unsignedInteger() const;
    std::optional<std::uint64_t> uid() const;
    std::optional<std::span<const std::byte>> data() const;
    // A string's text in UTF-8; absent for UTF-16 with half of a surrogate pair missing.
    std::optional<std::string> text() const;

  private:
    friend class BinaryPropertyList;
    Value(const BinaryPropertyList* list, Object object) : list_(list), object_(object) {}

    const Object* ofKind(std::size_t kind) const {
        return object_.kind == kind ? &object_ : nullptr;
    }

    const BinaryPropertyList* list_ = nullptr;
    Object object_;
};

template <std::size_t N>
std::array<BinaryPropertyList::Value, N> BinaryPropertyList::Value::valuesFor(
    const std::array<std::string_view, N>& keys) const {
    std::array<Value, N> found;
    if (const Object* dictionary = ofKind(Dictionary)) list_->values(*dictionary, keys, found);
    return found;
}

}  // namespace salvora
