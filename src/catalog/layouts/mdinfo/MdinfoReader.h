#pragma once

// The ".mdinfo" layout: per backed-up file, a ".mdinfo" property list with its "Domain" and
// "Path" (outside, or in the embedded "Metadata" list) and a ".mddata" file beside it with the
// contents; "Manifest.plist" gives the applications' display names.
#include <string>
#include <vector>

#include "catalog/layouts/LayoutReading.h"
#include "catalog/model/Records.h"
#include "plist/PropertyList.h"

namespace salvora {

// The display names of "Manifest.plist": "Data" (an embedded list) -> "Applications" ->
// application -> "AppInfo" -> "CFBundleDisplayName"; empty when it gives none.
TranslationNames translationNamesFromManifest(const PropertyList& manifest);
TranslationNames readTranslationNames(const std::string& directory);

// Files the list read from the file `name` under its application.
void addMdinfoList(const std::string& name, const PropertyList& outer,
                   ApplicationMap& applications);

// Reads each named list in the folder, in list order.
LayoutReading addMdinfoFiles(const std::vector<std::string>& names, const std::string& directory,
                             ApplicationMap& applications);

}  // namespace salvora
