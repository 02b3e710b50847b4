#pragma once

// Property lists in XML or binary form, read through libplist. A PropertyList is a value
// that may be absent: every look-up on an absent value, or on a value of another kind,
// yields absent, so a chain of look-ups needs no test at each step.
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace salvora {

class PropertyList {
  public:
    enum class Kind {
        Absent,
        Dictionary,
        Array,
        String,
        Data,
        Boolean,
        Integer,
        Real,
        Date,
        Uid,
        Other
    };

    PropertyList() = default;  // absent

    // Decodes XML or binary bytes, told apart by the bytes; absent when they don't decode, or
    // are crafted to harm the decoder (see PropertyListLimits.h).
    static PropertyList fromData(std::span<const std::byte> bytes);
    // Reads a whole file; absent when it is missing, unreadable or doesn't decode.
    static PropertyList fromFile(const std::string& path);
    // As fromFile, but absent unless the top level is a dictionary.
    static PropertyList dictionaryFromFile(const std::string& path);

    bool isPresent() const { return node_ != nullptr; }
    Kind kind() const;

    // A dictionary's value for the key; absent for any other kind or a missing key.
    PropertyList operator[](std::string_view key) const;
    // An array's element; absent for any other kind or an index beyond the end.
    PropertyList at(std::size_t index) const;
    // The number of entries of a dictionary or array; 0 for anything else.
    std::size_t count() const;
    // A dictionary's keys, in the list's order; empty for anything else.
    std::vector<std::string> keys() const;

    std::optional<std::string> string() const;
    // The bytes of a data value; valid as long as any PropertyList of the same document lives.
    std::optional<std::span<const std::byte>> data() const;
    std::optional<bool> boolean() const;
    std::optional<std::uint64_t> unsignedInteger() const;
    std::optional<double> real() const;
    std::optional<std::uint64_t> uid() const;
    // Seconds since 1 January 2001, the property-list epoch.
    std::optional<double> date() const;

    // The value and all below it as XML property-list text, for people to read.
    std::optional<std::string> xmlText() const;

  private:
    PropertyList(std::shared_ptr<void> document, void* node)
        : document_(std::move(document)), node_(node) {}

    std::shared_ptr<void> document_;  // keeps the whole decoded tree alive
    void* node_ = nullptr;
};

}  // namespace salvora
