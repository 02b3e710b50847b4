#include "catalog/ArchivedFileInfo.h"

#include "foundation/PropertyList.h"

namespace salvora {
namespace {

// The object a UID value refers to in "$objects"; absent for anything but a UID.
PropertyList resolved(const PropertyList& objects, const PropertyList& reference) {
    std::optional<std::uint64_t> uid = reference.uid();
    return uid ? objects.at(*uid) : PropertyList();
}

}  // namespace

ArchivedFileInfo readArchivedFileInfo(std::span<const std::byte> blob) {
    PropertyList archive = PropertyList::fromData(blob);
    PropertyList objects = archive["$objects"];
    PropertyList file = resolved(objects, archive["$top"]["root"]);

    ArchivedFileInfo info;
    info.size = file["Size"].unsignedInteger();
    if (auto lastModified = file["LastModified"].unsignedInteger()) {
        info.lastModified = static_cast<std::int64_t>(*lastModified);
    }
    info.protectionClass = file["ProtectionClass"].unsignedInteger();
    if (auto key = resolved(objects, file["EncryptionKey"])["NS.data"].data()) {
        info.encryptionKey.emplace(key->begin(), key->end());
    }
    return info;
}

}  // namespace salvora
