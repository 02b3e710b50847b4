#include "catalog/layouts/manifest_db/ArchivedFileInfo.h"

#include <array>
#include <string_view>

#include "plist/BinaryPropertyList.h"
#include "plist/BinaryPropertyListFormat.h"
#include "plist/PropertyList.h"

namespace salvora {
namespace {

// A dictionary's values for several keys: one look-up each in a decoded list, one pass over
// the keys of a list read in place.
template <std::size_t N>
std::array<PropertyList, N> valuesFor(const PropertyList& dictionary,
                                      const std::array<std::string_view, N>& keys) {
    std::array<PropertyList, N> values;
    for (std::size_t i = 0; i < N; ++i) values[i] = dictionary[keys[i]];
    return values;
}

template <std::size_t N>
std::array<BinaryPropertyList::Value, N> valuesFor(const BinaryPropertyList::Value& dictionary,
                                                   const std::array<std::string_view, N>& keys) {
    return dictionary.valuesFor(keys);
}

// The object a UID value refers to in "$objects"; absent for anything but a UID.
template <typename Value>
Value resolved(const Value& objects, const Value& reference) {
    std::optional<std::uint64_t> uid = reference.uid();
    return uid ? objects.at(*uid) : Value();
}

// The same walk through either kind of list: both yield absent for a look-up on an absent
// value or on a value of another kind.
template <typename Value>
ArchivedFileInfo readInfo(const Value& archive) {
    const auto [objects, top] =
        valuesFor(archive, std::array<std::string_view, 2>{"$objects", "$top"});
    const Value file = resolved(objects, top["root"]);
    const auto [size, lastModified, protectionClass, encryptionKey, mode] =
        valuesFor(file, std::array<std::string_view, 5>{"Size", "LastModified", "ProtectionClass",
                                                        "EncryptionKey", "Mode"});
    ArchivedFileInfo info;
    info.size = size.unsignedInteger();
    if (auto seconds = lastModified.unsignedInteger()) {
        info.lastModified = static_cast<std::int64_t>(*seconds);
    }
    info.protectionClass = protectionClass.unsignedInteger();
    info.mode = mode.unsignedInteger();
    if (auto key = resolved(objects, encryptionKey)["NS.data"].data()) {
        info.encryptionKey.emplace(key->begin(), key->end());
    }
    return info;
}

}  // namespace

ArchivedFileInfo readArchivedFileInfo(std::span<const std::byte> blob) {
    // Backups store the archives in binary form, a million of them in a large backup: those
    // are read in place, anything else through libplist.
    if (!startsWithBinaryPropertyListMagic(blob)) return readArchivedFileInfoWithLibplist(blob);
    std::optional<BinaryPropertyList> list = BinaryPropertyList::open(blob);
    return list ? readInfo(list->root()) : ArchivedFileInfo();
}

ArchivedFileInfo readArchivedFileInfoWithLibplist(std::span<const std::byte> blob) {
    return readInfo(PropertyList::fromData(blob));
}

}  // namespace salvora
