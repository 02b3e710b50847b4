#include "catalog/Catalog.h"

#include <unicode/ucol.h>
#include <unicode/uloc.h>

#include <algorithm>
#include <memory>
#include <string_view>

#include "catalog/EncryptedManifestDb.h"
#include "catalog/ManifestDatabaseReader.h"
#include "catalog/ManifestDbReader.h"
#include "catalog/MdbackupReader.h"
#include "catalog/MdinfoReader.h"
#include "catalog/UnindexedDatabaseReader.h"
#include "crypto/BackupEncryption.h"
#include "crypto/BackupUnlock.h"
#include "foundation/BackupFileNames.h"
#include "foundation/FileQueries.h"
#include "foundation/Path.h"

namespace salvora {
namespace {

struct CollatorCloser {
    void operator()(UCollator* collator) const { ucol_close(collator); }
};

// Orders names as the user's locale does with letter case ignored, the empty name first.
// Names the collator holds equal keep a fixed order by their bytes, so every build shows the
// same order.
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
        const std::string& left = a->name;
        const std::string& right = b->name;
        if (left.empty() != right.empty()) return left.empty();
        if (collator_) {
            UErrorCode status = U_ZERO_ERROR;
            UCollationResult result = ucol_strcollUTF8(
                collator_.get(), left.data(), static_cast<std::int32_t>(left.size()), right.data(),
                static_cast<std::int32_t>(right.size()), &status);
            if (U_SUCCESS(status) && result != UCOL_EQUAL) return result == UCOL_LESS;
        }
        return left < right;
    }

  private:
    std::unique_ptr<UCollator, CollatorCloser> collator_;
};

// An encrypted backup without its keys: nothing is listed, and the password is asked for
// only where there is a keybag it could open.
CatalogBuild lockedBuild(DeviceRecord& device) {
    device.applications = std::make_shared<ApplicationMap>();
    CatalogBuild build;
    auto encryption = readBackupEncryption(device.directory);
    if (encryption && encryption->backupKeyBag) {
        build.needsPassword = true;
    } else {
        build.error = Error{"Could not open the encrypted backup",
                            appendingPathComponent(device.directory, ManifestPlistName),
                            "It holds no BackupKeyBag"};
    }
    return build;
}

ApplicationList sortedByName(const ApplicationMap& applications) {
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
    return buildCatalog(device).applications;
}

CatalogBuild Catalog::buildCatalog(DeviceRecord& device) {
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
    if (directory.empty()) return {};

    addManifestDatabaseFilesFromDirectory(directory, *applications);
    addMdbackupFiles(mdbackupNames, directory, *applications);
    if (!mdinfoNames.empty()) {
        loadTranslationNamesFromDirectory(directory);
        addMdinfoFiles(mdinfoNames, directory, *applications);
    }
    addUnindexedDatabaseFilesFromDirectory(directory, *applications);
    const std::shared_ptr<const UnlockedKeybag> keybag = keybagFor(directory);
    CatalogBuild build;
    const ManifestDbReading manifest =
        addManifestDbFilesOfBackup(directory, keybag.get(), *applications, build.error);

    if (!keybag && (manifest == ManifestDbReading::Locked || holdsEncryptedFiles(*applications)))
        return lockedBuild(device);
    build.applications = sortedByName(*applications);
    return build;
}

ErrorSlot Catalog::unlockBackup(const std::string& directory, std::string_view password) {
    ErrorSlot error;
    auto keybag = salvora::unlockBackup(directory, password, &error);
    if (!keybag) return error;
    keybags_.insert_or_assign(directory,
                              std::make_shared<const UnlockedKeybag>(std::move(*keybag)));
    return std::nullopt;
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
    if (translationNames) {
        auto found = translationNames->find(application.name);
        if (found != translationNames->end() && !found->second.empty()) return found->second;
    }
    if (!application.name.empty()) return application.name;
    return "(Unknown Application Name)";
}

}  // namespace salvora
