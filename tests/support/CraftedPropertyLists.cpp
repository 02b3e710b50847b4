#include "support/CraftedPropertyLists.h"

#include "support/ByteWriter.h"

namespace salvora::test {
namespace {

// A marker with the count in its low four bits, or followed by an 8-byte integer object.
void appendMarker(std::vector<std::byte>& object, unsigned kind, std::uint64_t count) {
    if (count < 0xF) {
        object.push_back(static_cast<std::byte>(kind << 4 | count));
        return;
    }
    object.push_back(static_cast<std::byte>(kind << 4 | 0xF));
    object.push_back(std::byte{0x13});
    putBigEndian(object, object.size(), count, 8);
}

}  // namespace

std::uint64_t RawBinaryPlist::add(std::vector<std::byte> object) {
    objects_.push_back(std::move(object));
    return objects_.size() - 1;
}

void RawBinaryPlist::appendReferences(std::vector<std::byte>& object,
                                      const std::vector<std::uint64_t>& references) const {
    for (std::uint64_t reference : references)
        putBigEndian(object, object.size(), reference, referenceSize_);
}

std::uint64_t RawBinaryPlist::addArray(const std::vector<std::uint64_t>& references) {
    std::vector<std::byte> object;
    appendMarker(object, 0xA, references.size());
    appendReferences(object, references);
    return add(std::move(object));
}

std::uint64_t RawBinaryPlist::addDictionary(
    const std::vector<std::pair<std::uint64_t, std::uint64_t>>& entries) {
    std::vector<std::uint64_t> keys;
    std::vector<std::uint64_t> values;
    for (const auto& [key, value] : entries) {
        keys.push_back(key);
        values.push_back(value);
    }
    std::vector<std::byte> object;
    appendMarker(object, 0xD, entries.size());
    appendReferences(object, keys);
    appendReferences(object, values);
    return add(std::move(object));
}

std::uint64_t RawBinaryPlist::addAsciiString(std::string_view text) {
    std::vector<std::byte> object;
    appendMarker(object, 0x5, text.size());
    for (char c : text) object.push_back(static_cast<std::byte>(c));
    return add(std::move(object));
}

std::uint64_t RawBinaryPlist::addUtf16String(std::u16string_view text) {
    std::vector<std::byte> object;
    appendMarker(object, 0x6, text.size());
    for (char16_t unit : text) putBigEndian(object, object.size(), unit, 2);
    return add(std::move(object));
}

std::uint64_t RawBinaryPlist::addData(std::size_t size) {
    std::vector<std::byte> object;
    appendMarker(object, 0x4, size);
    object.resize(object.size() + size, std::byte{'d'});
    return add(std::move(object));
}

std::uint64_t RawBinaryPlist::addNestedArrays(std::size_t depth) {
    std::uint64_t array = addArray({});
    for (std::size_t level = 1; level < depth; ++level) array = addArray({array});
    return array;
}

std::uint64_t RawBinaryPlist::addSharedArrays(std::size_t levels) {
    std::uint64_t array = addArray({});
    for (std::size_t level = 1; level < levels; ++level) array = addArray({array, array});
    return array;
}

std::vector<std::byte> RawBinaryPlist::encode(std::uint64_t topObject) const {
    ByteWriter writer;
    writer.text("bplist00");
    std::vector<std::uint64_t> offsets;
    for (const auto& object : objects_) {
        offsets.push_back(writer.size());
        writer.raw(object);
    }
    const std::uint64_t offsetTable = writer.size();
    for (std::uint64_t offset : offsets) writer.bigEndian(offset, offsetSize_);
    writer.raw(std::vector<std::byte>(6));
    writer.uint8(static_cast<std::uint8_t>(offsetSize_))
        .uint8(static_cast<std::uint8_t>(referenceSize_));
    writer.uint64(objects_.size()).uint64(topObject).uint64(offsetTable);
    return writer.take();
}

std::vector<std::byte> nestedBinaryArrays(std::size_t depth) {
    RawBinaryPlist list;
    return list.encode(list.addNestedArrays(depth));
}

std::vector<std::byte> sharedBinaryArrays(std::size_t levels) {
    RawBinaryPlist list(1);
    return list.encode(list.addSharedArrays(levels));
}

std::string nestedXmlArrays(std::size_t depth, bool closed) {
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">";
    text.reserve(text.size() + depth * 15 + 10);
    for (std::size_t level = 0; level < depth; ++level) text += "<array>";
    if (closed) {
        for (std::size_t level = 0; level < depth; ++level) text += "</array>";
        text += "</plist>\n";
    }
    return text;
}

std::string plistHarmName(PlistHarm harm) {
    switch (harm) {
        case PlistHarm::None:
            return "Sound";
        case PlistHarm::NestedTooDeep:
            return "NestedTooDeep";
        case PlistHarm::SharedContainers:
            return "SharedContainers";
        case PlistHarm::KeyHoldingNul:
            return "KeyHoldingNul";
    }
    return {};
}

std::vector<std::byte> craftedDictionary(const std::vector<PlistEntry>& entries, PlistHarm harm) {
    constexpr std::size_t beyondAnyLimit = 1000;
    constexpr std::size_t doublings = 64;
    RawBinaryPlist list;
    std::vector<std::pair<std::uint64_t, std::uint64_t>> top;
    for (const PlistEntry& entry : entries) {
        std::uint64_t value = list.addAsciiString(entry.text);
        for (std::size_t key = entry.keys.size() - 1; key > 0; --key)
            value = list.addDictionary({{list.addAsciiString(entry.keys[key]), value}});
        top.emplace_back(list.addAsciiString(entry.keys.front()), value);
    }
    switch (harm) {
        case PlistHarm::None:
            break;
        case PlistHarm::NestedTooDeep:
            top.emplace_back(list.addAsciiString("Deep"), list.addNestedArrays(beyondAnyLimit));
            break;
        case PlistHarm::SharedContainers:
            top.emplace_back(list.addAsciiString("Wide"), list.addSharedArrays(doublings));
            break;
        case PlistHarm::KeyHoldingNul:
            top.emplace_back(list.addUtf16String(std::u16string_view(u"a\0b", 3)),
                             list.addAsciiString("x"));
            break;
    }
    return list.encode(list.addDictionary(top));
}

}  // namespace salvora::test
