#include "catalog/Catalog.h"

#include <unicode/ucol.h>
#include <unicode/uloc.h>

#include <algorithm>
#include <memory>
#include <string_view>

#include "catalog/layouts/manifest_database/ManifestDatabaseReader.h"
#include "catalog/layouts/manifest_db/BackupManifestDb.h"
#include "catalog/layouts/manifest_db/ManifestDbReader.h"
#include "catalog/layouts/mdbackup/MdbackupReader.h"
#include "catalog/layouts/mdinfo/MdinfoReader.h"
#include "catalog/layouts/unindexed/UnindexedDatabaseReader.h"
#include "catalog/naming/ApplicationNames.h"
#include "crypto/BackupEncryption.h"
#include "crypto/BackupUnlock.h"
#include "foundation/BackupFileNames.h"
#include "foundation/FileQueries.h"
#include "foundation/Path.h"

namespace salvora {
namespace {

// Only the layouts since iOS 5 (Manifest.db, and Manifest.mbdb without its index) gather files
// under the store's applications, whose names Info.plist gives.
bool holdsStoreApplications(const std::vector<std::string>& listing) {
    auto holds = [&listing](std::string_view name) {
        return std::find(listing.begin(), listing.end(), name) != listing.end();
    };
    return holds(ManifestDbName) || (holds(ManifestMbdbName) && !holds(ManifestMbdxName));
}

struct CollatorCloser {
    void operator()(UCollator* collator) const { ucol_close(collator); }
};

// Orders applications by the text the table shows for them as the user's locale does, with
// letter case ignored: the display name of a modern backup's application, else the name (the
// older layouts' display names don't change their order); the empty text first. Texts the
// collator holds equal keep a fixed order by their bytes, then by name, so every build shows
// the same order.
class NameOrder {
  public:
    NameOrder() {
        // The C and POSIX locales map to a collation in ASCII order, which tells letter case
        // apart; they express no language, so the root collation stands in for them.
        std::string_view locale = uloc_getDefault();
        if (locale == "en_US_POSIX") locale = "";
        UErrorCode status = U_ZERO_ERROR;
        collator_.reset(ucol_open(std::string(locale).c_str(), &status));
        if (U_FAILURE(status)) collator_.reset();
        // Secondary strength tells accents apart but not letter case.
        if (collator_) ucol_setStrength(collator_.get(), UCOL_SECONDARY);
    }

    bool operator()(const std::shared_ptr<ApplicationRecord>& a,
                    const std::shared_ptr<ApplicationRecord>& b) const {
        const std::string& left = a->displayName ? *a->displayName : a->name;
        const std::string& right = b->displayName ? *b->displayName : b->name;
        if (left.empty() != right.empty()) return left.empty();
        if (collator_) {
            UErrorCode status = U_ZERO_ERROR;
            UCollationResult result = ucol_strcollUTF8(
                collator_.get(), left.data(), static_cast<std::int32_t>(left.size()), right.data(),
                static_cast<std::int32_t>(right.size()), &status);
            if (U_SUCCESS(status) && result != UCOL_EQUAL) return result == UCOL_LESS;
        }
        if (left != right) return left < right;
        return a->name < b->name;
    }

  private:
    std::unique_ptr<UCollator, CollatorCloser> collator_;
};

// An encrypted backup without its keys lists nothing; the password is asked for only where
// there is a keybag it could open.
Error lockedBuild(DeviceRecord& device, const BackupProtection& protection) {
    device.applications = std::make_shared<ApplicationMap>();
    const std::string manifest = appendingPathComponent(device.directory, ManifestPlistName);
    if (protection.keybagMissing)
        return Error{"Could not open the encrypted backup", manifest, "It holds no BackupKeyBag"};
    return Error{"Could not open the encrypted backup", manifest, "It needs its password",
                 ErrorKind::NeedsPassword};
}

void keepLayout(CatalogReading& reading, LayoutReading layout) {
    if (!layout.layout.empty()) reading.layouts.push_back(std::move(layout));
}

ApplicationList sortedAsShown(const ApplicationMap& applications) {
    ApplicationList sorted;
    sorted.reserve(applications.size());
    for (const auto& entry : applications) sorted.push_back(entry.second);
    const NameOrder order;
    std::sort(sorted.begin(), sorted.end(),
              [&order](const auto& a, const auto& b) { return order(a, b); });
    return sorted;
}

}  // namespace

ApplicationList Catalog::buildCatalogForDevice(DeviceRecord& device) {
    Result<ApplicationList> build = buildCatalog(device);
    return build ? std::move(*build) : ApplicationList();
}

Result<ApplicationList> Catalog::buildCatalog(DeviceRecord& device) {
    const std::string& directory = device.directory;
    // Both lists come from one listing, made before any file is read.
    std::vector<std::string> listing =
        directoryContents(directory).value_or(std::vector<std::string>());
    std::vector<std::string> mdbackupNames = pathsMatchingExtensions(listing, {"mdbackup"});
    std::vector<std::string> mdinfoNames = pathsMatchingExtensions(listing, {"mdinfo"});

    auto applications = std::make_shared<ApplicationMap>();
    device.applications = applications;
    // A device without a folder has nothing to read; its file names would otherwise be taken
    // relative to the working directory.
    if (directory.empty()) return ApplicationList();
    // Only a build that read the folder tells what it read.
    readings_.erase(directory);
    const BackupProtection protection = judgeBackupProtection(directory);
    const std::shared_ptr<const UnlockedKeybag> keybag = keybagFor(directory);
    if (protection.keybagMissing || (protection.filesEncrypted && !keybag))
        return lockedBuild(device, protection);

    // Read before the records, while a large Info.plist costs no memory they need.
    const StoreNames storeNames =
        holdsStoreApplications(listing) ? readStoreNames(directory) : StoreNames();
    CatalogReading reading;
    keepLayout(reading, addManifestDatabaseFilesFromDirectory(directory, *applications));
    if (!mdbackupNames.empty())
        keepLayout(reading, addMdbackupFiles(mdbackupNames, directory, *applications));
    if (!mdinfoNames.empty()) {
        loadTranslationNamesFromDirectory(directory);
        keepLayout(reading, addMdinfoFiles(mdinfoNames, directory, *applications));
    }
    keepLayout(reading, addUnindexedDatabaseFilesFromDirectory(directory, *applications));
    Result<LayoutReading> manifestDb =
        addManifestDbFilesOfBackup(directory, protection, keybag.get(), *applications);
    if (!manifestDb) {
        // Kept too, so that the backup's reading says why it lists nothing.
        LayoutReading failed{std::string(ManifestDbName)};
        failed.damaged(manifestDb.error().reason);
        keepLayout(reading, std::move(failed));
        readings_.insert_or_assign(directory, std::move(reading));
        return manifestDb.error();
    }
    keepLayout(reading, std::move(*manifestDb));
    readings_.insert_or_assign(directory, std::move(reading));
    nameApplications(storeNames, *applications);
    return sortedAsShown(*applications);
}

const CatalogReading* Catalog::readingOf(const std::string& directory) const {
    auto found = readings_.find(directory);
    return found == readings_.end() ? nullptr : &found->second;
}

std::string whyNothingListed(const CatalogReading& reading) {
    if (reading.layouts.empty()) return "no catalogue file found";
    std::string why;
    for (const LayoutReading& layout : reading.layouts) {
        if (!why.empty()) why += "; ";
        why += layout.layout + ": ";
        why += layout.firstDamage.empty() ? "names no file" : layout.firstDamage;
    }
    return why;
}

Status Catalog::unlockBackup(const std::string& directory, std::string_view password) {
    // The keys of a backup judged plain would turn its stored files into noise when saved.
    if (!judgeBackupProtection(directory).filesEncrypted)
        return Error{"Could not unlock", directory, "The backup is not encrypted"};
    auto keybag = salvora::unlockBackup(directory, password);
    if (!keybag) return keybag.error();
    keybags_.insert_or_assign(directory,
                              std::make_shared<const UnlockedKeybag>(std::move(*keybag)));
    return {};
}

std::shared_ptr<const UnlockedKeybag> Catalog::keybagFor(const std::string& directory) const {
    auto found = keybags_.find(directory);
    return found == keybags_.end() ? nullptr : found->second;
}

void Catalog::loadTranslationNamesFromDirectory(const std::string& directory) {
    translationNames_ = readTranslationNames(directory);
}

std::vector<std::string> pathsMatchingExtensions(const std::vector<std::string>& paths,
                                                 const std::vector<std::string>& extensions) {
    std::vector<std::string> result;
    result.reserve(paths.size());
    for (const std::string& extension : extensions) {
        const std::string ending = "." + extension;
        for (const std::string& path : paths) {
            if (path.ends_with(ending)) result.push_back(path);
        }
    }
    return result;
}

std::string applicationDisplayText(const ApplicationRecord& application,
                                   const std::optional<TranslationNames>& translationNames) {
    if (application.displayName && !application.displayName->empty())
        return *application.displayName;
    if (translationNames) {
        auto found = translationNames->find(application.name);
        if (found != translationNames->end() && !found->second.empty()) return found->second;
    }
    if (!application.name.empty()) return application.name;
    return "(Unknown Application Name)";
}

}  // namespace salvora
