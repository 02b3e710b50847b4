#pragma once

// Builds a device's catalogue from its backup folder, reading every layout it holds into one
// ApplicationMap, and keeps the display names that the last backup with ".mdinfo" files gave.
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/layouts/LayoutReading.h"
#include "catalog/model/Records.h"
#include "crypto/UnlockedKeybag.h"
#include "foundation/Error.h"

namespace salvora {

// What the layout readers made of a backup folder: one reading per layout the folder holds, in
// the order they were read.
struct CatalogReading {
    std::vector<LayoutReading> layouts;
};

// Why a backup that lists nothing lists nothing, as one sentence for people: each layout's
// first damage ("Manifest.mbdb: cut off after 12 records"), else that it names no file, or
// "no catalogue file found" when the folder holds none.
std::string whyNothingListed(const CatalogReading& reading);

class Catalog {
  public:
    // Lists the folder, stores a new ApplicationMap in the device, runs every layout reader
    // into it in their fixed order, names a modern backup's applications from its Info.plist,
    // and returns the applications sorted by name (a modern backup's by display name). An
    // encrypted backup that hasn't been unlocked this run yields an empty map and no
    // applications.
    ApplicationList buildCatalogForDevice(DeviceRecord& device);
    // The same, telling also why an encrypted backup lists nothing: ErrorKind::NeedsPassword
    // when it hasn't been unlocked this run, else why it can't be read once unlocked.
    Result<ApplicationList> buildCatalog(DeviceRecord& device);
    // What the last build of the folder read, layout by layout; null before its first build.
    const CatalogReading* readingOf(const std::string& directory) const;

    // Unlocks the encrypted backup in the folder with its password and keeps the class keys,
    // never the password, for the rest of the run. Takes seconds on a real keybag: front ends
    // call it off their event thread. A wrong password fails as ErrorKind::WrongPassword.
    Status unlockBackup(const std::string& directory, std::string_view password);
    // The keys of the backup in the folder; null until it is unlocked.
    std::shared_ptr<const UnlockedKeybag> keybagFor(const std::string& directory) const;

    // Replaces translationNames() with the display names of the folder's "Manifest.plist".
    void loadTranslationNamesFromDirectory(const std::string& directory);

    // Absent until the first backup with ".mdinfo" files is built.
    const std::optional<TranslationNames>& translationNames() const { return translationNames_; }

  private:
    std::optional<TranslationNames> translationNames_;
    std::map<std::string, std::shared_ptr<const UnlockedKeybag>, std::less<>> keybags_;
    std::map<std::string, CatalogReading, std::less<>> readings_;
};

// The members of `paths` that end in "." and one of the extensions, grouped by extension in
// the order given, each group in the order of `paths`. Case and every character count.
std::vector<std::string> pathsMatchingExtensions(const std::vector<std::string>& paths,
                                                 const std::vector<std::string>& extensions);

// What the application table shows for an application: the display name a modern backup
// gives it, else its display name from "Manifest.plist" when one is known, either when not
// empty; else its name when not empty, else "(Unknown Application Name)".
std::string applicationDisplayText(const ApplicationRecord& application,
                                   const std::optional<TranslationNames>& translationNames);

}  // namespace salvora
