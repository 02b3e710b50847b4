#pragma once

// Builds a device's catalogue from its backup folder, reading every layout it holds into one
// ApplicationMap, and keeps the display names that the last backup with ".mdinfo" files gave.
#include <optional>
#include <string>
#include <vector>

#include "catalog/Records.h"

namespace salvora {

class Catalog {
  public:
    // Lists the folder, stores a new ApplicationMap in the device, runs every layout reader
    // into it in their fixed order, and returns the applications sorted by name.
    ApplicationList buildCatalogForDevice(DeviceRecord& device);

    // The layout readers, in the order the build runs them.
    void addManifestDatabaseFilesFromDirectory(const std::string& directory,
                                               ApplicationMap& applications);
    void addMdbackupFiles(const std::vector<std::string>& names, const std::string& directory,
                          ApplicationMap& applications);
    void loadTranslationNamesFromDirectory(const std::string& directory);
    void addMdinfoFiles(const std::vector<std::string>& names, const std::string& directory,
                        ApplicationMap& applications);

    // Absent until the first backup with ".mdinfo" files is built.
    const std::optional<TranslationNames>& translationNames() const { return translationNames_; }

  private:
    std::optional<TranslationNames> translationNames_;
};

// The members of `paths` that end in "." and one of the extensions, grouped by extension in
// the order given, each group in the order of `paths`. Case and every character count.
std::vector<std::string> pathsMatchingExtensions(const std::vector<std::string>& paths,
                                                 const std::vector<std::string>& extensions);

// What the application table shows for an application: its display name when one is known and
// not empty, else its name when not empty, else "(Unknown Application Name)".
std::string applicationDisplayText(const ApplicationRecord& application,
                                   const std::optional<TranslationNames>& translationNames);

}  // namespace salvora
