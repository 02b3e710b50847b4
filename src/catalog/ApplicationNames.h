#pragma once

// The names and icons a modern backup's Info.plist gives the applications of the store:
// "Applications" -> application ID -> "iTunesMetadata" (a property list whose "itemName" is the
// store name) and "PlaceholderIcon" (the icon image). Either may be missing. Each is read
// alone, so that naming the applications never decodes the icons.
#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

#include "catalog/Records.h"

namespace salvora {

// Gives every application of kind App the store name its backup's Info.plist records for it;
// reads Info.plist only when there is such an application.
void nameApplicationsFromInfoPlist(const std::string& directory, ApplicationMap& applications);

// Application ID to its icon, for every icon that is a PNG or JPEG image by its first bytes.
using ApplicationIcons = std::unordered_map<std::string, std::vector<std::byte>>;
ApplicationIcons readApplicationIcons(const std::string& directory);

}  // namespace salvora
