#include "catalog/layouts/manifest_db/ManifestDbItems.h"

namespace salvora {
namespace {

// The file-type bits of st_mode as the device's file system gives them, whatever the host's.
constexpr std::uint64_t fileTypeBits = 0170000;
constexpr std::uint64_t regularFileType = 0100000;
constexpr std::uint64_t folderType = 0040000;
constexpr std::uint64_t linkType = 0120000;

}  // namespace

ManifestDbItem itemOfFlags(std::optional<double> flags) {
    if (flags == 1.0) return ManifestDbItem::RegularFile;
    if (flags == 2.0) return ManifestDbItem::Folder;
    if (flags == 4.0) return ManifestDbItem::Link;
    return ManifestDbItem::Unknown;
}

ManifestDbItem itemOfMode(std::optional<std::uint64_t> mode) {
    if (!mode) return ManifestDbItem::Unknown;
    switch (*mode & fileTypeBits) {
        case regularFileType:
            return ManifestDbItem::RegularFile;
        case folderType:
            return ManifestDbItem::Folder;
        case linkType:
            return ManifestDbItem::Link;
        default:
            return ManifestDbItem::Unknown;
    }
}

}  // namespace salvora
