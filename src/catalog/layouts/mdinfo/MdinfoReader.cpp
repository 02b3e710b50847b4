#include "catalog/layouts/mdinfo/MdinfoReader.h"

#include "catalog/layouts/Filing.h"
#include "catalog/naming/DomainNames.h"
#include "foundation/BackupFileNames.h"
#include "foundation/Path.h"
#include "foundation/Utf8Text.h"
#include "plist/EmbeddedPropertyList.h"

namespace salvora {

TranslationNames translationNamesFromManifest(const PropertyList& manifest) {
    PropertyList applications = embeddedPropertyList(manifest["Data"])["Applications"];
    TranslationNames names;
    for (const std::string& key : applications.keys()) {
        if (auto displayName = applications[key]["AppInfo"]["CFBundleDisplayName"].string()) {
            names[key] = std::move(*displayName);
        }
    }
    return names;
}

TranslationNames readTranslationNames(const std::string& directory) {
    return translationNamesFromManifest(
        PropertyList::dictionaryFromFile(appendingPathComponent(directory, ManifestPlistName)));
}

void addMdinfoList(const std::string& name, const PropertyList& outer,
                   ApplicationMap& applications) {
    // Decoded for every file, whether or not the outer values are there.
    PropertyList inner = embeddedPropertyList(outer["Metadata"]);

    // The full path is the outer domain joined with the outer path, or else the inner path by
    // itself; an outer domain without an outer path counts as no full path.
    std::optional<std::string> domain = utf8Text(outer["Domain"].string());
    std::optional<std::string> outerPath = utf8Text(outer["Path"].string());
    std::optional<std::string> fullpath;
    if (domain && outerPath) fullpath = appendingPathComponent(*domain, *outerPath);
    if (!fullpath) fullpath = utf8Text(inner["Path"].string());
    if (!domain) domain = utf8Text(inner["Domain"].string());

    // A list that can't be read, or gives no domain at all, still has its ".mddata" beside
    // it, so the file is filed under the empty name.
    addFileCopyingTexts(*getOrCreateApplicationNamed(
                            domain ? withoutAppDomain(*domain) : std::string(), applications),
                        appendingPathExtension(deletingPathExtension(name), "mddata"), fullpath,
                        std::nullopt);
}

LayoutReading addMdinfoFiles(const std::vector<std::string>& names, const std::string& directory,
                             ApplicationMap& applications) {
    return fileEachPropertyList(names, directory, applications, addMdinfoList, ".mdinfo");
}

}  // namespace salvora
