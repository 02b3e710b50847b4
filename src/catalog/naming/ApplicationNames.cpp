#include "catalog/naming/ApplicationNames.h"

#include <algorithm>
#include <array>
#include <span>

#include "foundation/FileReading.h"
#include "foundation/Path.h"
#include "foundation/Utf8Text.h"
#include "plist/BinaryPropertyList.h"
#include "plist/EmbeddedPropertyList.h"
#include "plist/XmlPropertyListData.h"

namespace salvora {
namespace {

// The "Applications" dictionary of the folder's Info.plist, with no data decoded but that of
// `wanted`.
PropertyList applicationsOfInfoPlist(const std::string& directory, std::string_view wanted) {
    auto contents = readFile(appendingPathComponent(directory, "Info.plist"));
    if (!contents) return {};
    const std::optional<std::string> reduced = keepingOnlyDataOf(contents->bytes(), {wanted});
    const PropertyList infoPlist = reduced
                                       ? PropertyList::fromData(std::as_bytes(std::span(*reduced)))
                                       : PropertyList::fromData(contents->bytes());
    return infoPlist["Applications"];
}

bool isImage(std::span<const std::byte> bytes) {
    constexpr std::array<unsigned char, 8> png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    constexpr std::array<unsigned char, 3> jpeg{0xFF, 0xD8, 0xFF};
    auto startsWith = [bytes](std::span<const unsigned char> magic) {
        return bytes.size() > magic.size() &&
               std::equal(magic.begin(), magic.end(), bytes.begin(),
                          [](unsigned char m, std::byte b) { return std::byte{m} == b; });
    };
    return startsWith(png) || startsWith(jpeg);
}

// The "itemName" of an application's store metadata, a property list of its own: read where it
// lies when the list is binary, as it is in the backups of every recent system; decoded whole
// otherwise.
std::optional<std::string> storeNameOf(const PropertyList& metadata) {
    const std::optional<std::span<const std::byte>> bytes = metadata.data();
    if (!bytes) return std::nullopt;
    if (const std::optional<BinaryPropertyList> list = BinaryPropertyList::open(*bytes)) {
        if (std::optional<std::string> text = list->root()["itemName"].text())
            return utf8Text(std::move(text));
    }
    return utf8Text(embeddedPropertyList(metadata)["itemName"].string());
}

}  // namespace

StoreNames readStoreNames(const std::string& directory) {
    StoreNames names;
    const PropertyList known = applicationsOfInfoPlist(directory, "iTunesMetadata");
    for (const std::string& name : known.keys()) {
        std::optional<std::string> itemName = storeNameOf(known[name]["iTunesMetadata"]);
        if (itemName && !itemName->empty()) names.emplace(name, std::move(*itemName));
    }
    return names;
}

void nameApplications(const StoreNames& names, ApplicationMap& applications) {
    for (const auto& [name, application] : applications) {
        if (application->kind != ApplicationKind::App) continue;
        if (auto found = names.find(name); found != names.end())
            application->displayName = found->second;
    }
}

ApplicationIcons readApplicationIcons(const std::string& directory) {
    ApplicationIcons icons;
    const PropertyList known = applicationsOfInfoPlist(directory, "PlaceholderIcon");
    for (const std::string& name : known.keys()) {
        std::optional<std::span<const std::byte>> icon = known[name]["PlaceholderIcon"].data();
        if (icon && isImage(*icon))
            icons.emplace(name, std::vector<std::byte>(icon->begin(), icon->end()));
    }
    return icons;
}

}  // namespace salvora
