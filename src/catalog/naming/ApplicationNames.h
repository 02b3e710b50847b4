#pragma once

// The names and icons a modern backup's Info.plist gives the applications of the store:
// "Applications" -> application ID -> "iTunesMetadata" (a property list whose "itemName" is the
// store name) and "PlaceholderIcon" (the icon image). Either may be missing. Each is read
// alone, so that naming the applications never decodes the icons.
#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

#include "catalog/model/Records.h"

namespace salvora {

// Application ID to the store name the backup's Info.plist records for it. A catalogue build
// reads them before the records, while the whole Info.plist (megabytes of icons) costs no
// memory the records need.
using StoreNames = std::unordered_map<std::string, std::string, StringHash, std::equal_to<>>;
StoreNames readStoreNames(const std::string& directory);

// Gives every application of kind App its store name, where `names` has one.
void nameApplications(const StoreNames& names, ApplicationMap& applications);

// Application ID to its icon, for every icon that is a PNG or JPEG image by its first bytes.
using ApplicationIcons = std::unordered_map<std::string, std::vector<std::byte>>;
ApplicationIcons readApplicationIcons(const std::string& directory);

}  // namespace salvora
