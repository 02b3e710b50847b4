#include "catalog/layouts/manifest_db/ManifestDbItems.h"

#include "catalog/model/DeviceFileMode.h"

namespace salvora {

ManifestDbItem itemOfFlags(std::optional<double> flags) {
    if (flags == 1.0) return ManifestDbItem::RegularFile;
    if (flags == 2.0) return ManifestDbItem::Folder;
    if (flags == 4.0) return ManifestDbItem::Link;
    return ManifestDbItem::Unknown;
}

ManifestDbItem itemOfMode(std::optional<std::uint64_t> mode) {
    if (!mode) return ManifestDbItem::Unknown;
    switch (*mode & deviceFileTypeBits) {
        case deviceRegularFileType:
            return ManifestDbItem::RegularFile;
        case deviceFolderType:
            return ManifestDbItem::Folder;
        case deviceLinkType:
            return ManifestDbItem::Link;
        default:
            return ManifestDbItem::Unknown;
    }
}

}  // namespace salvora
