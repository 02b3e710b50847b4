#include "discovery/Discovery.h"

#include <initializer_list>

#include "foundation/BackupFileNames.h"
#include "foundation/DateText.h"
#include "foundation/FileQueries.h"
#include "foundation/FolderCreation.h"
#include "foundation/HomeDirectory.h"
#include "foundation/Path.h"
#include "plist/PropertyList.h"

namespace salvora {
namespace {

std::string homeJoinedWith(std::initializer_list<std::string_view> names) {
    std::string path = homeDirectory();
    for (std::string_view name : names) path = appendingPathComponent(path, name);
    return path;
}

void scanRoot(const std::string& root, const std::optional<std::vector<std::string>>& names,
              DeviceList& devices) {
    if (!names) return;
    for (const std::string& name : *names) extractBackup(name, devices, root);
}

}  // namespace

std::string backupDirPath() {
    return homeJoinedWith({"Application Data", "Apple Computer", "MobileSync", "Backup"});
}

std::string alternateBackupDirPath() {
    return homeJoinedWith({"AppData", "Roaming", "Apple Computer", "MobileSync", "Backup"});
}

std::string storeBackupDirPath() { return homeJoinedWith({"Apple", "MobileSync", "Backup"}); }

std::string macBackupDirPath() {
    return homeJoinedWith({"Library", "Application Support", "MobileSync", "Backup"});
}

std::vector<std::string> backupRoots() {
    return {backupDirPath(), alternateBackupDirPath(), storeBackupDirPath(), macBackupDirPath()};
}

std::optional<std::vector<std::string>> backupFolders() {
    return directoryContents(backupDirPath());
}

std::string recoveryFolderPath() { return homeJoinedWith({"Desktop", "Recovered iPhone Files"}); }

void createRecoveryFolder() { (void)createDirectory(recoveryFolderPath()); }

void extractBackup(const std::string& name, DeviceList& devices, const std::string& root) {
    std::string path = appendingPathComponent(root, name);
    if (!isDirectory(path)) return;
    auto info = PropertyList::dictionaryFromFile(appendingPathComponent(path, InfoPlistName));

    auto device = std::make_shared<DeviceRecord>();
    device->name = info["Device Name"].string();
    device->productVersion = info["Product Version"].string();
    device->productType = info["Product Type"].string();
    device->directory = path;
    // A folder that vanished since the listing has no date; the table shows an empty cell.
    if (auto modified = modificationDate(path)) device->date = dateText(*modified);
    devices.push_back(std::move(device));
}

bool isBackupFolder(const std::string& path) {
    const auto names = directoryContents(path);
    if (!names) return false;
    for (const std::string& name : *names) {
        if (name == "Info.plist" || name == "Manifest.plist" || name == "Manifest.db" ||
            name == "Manifest.mbdb" || name.ends_with(".mdbackup") || name.ends_with(".mdinfo"))
            return true;
    }
    return false;
}

DeviceList devicesInFolder(const std::string& path) {
    std::string folder = path;
    while (folder.size() > 1 && folder.ends_with('/')) folder.pop_back();
    DeviceList devices;
    if (isBackupFolder(folder)) {
        extractBackup(lastPathComponent(folder), devices, deletingLastPathComponent(folder));
        return devices;
    }
    for (const std::string& name : directoryContents(folder).value_or(std::vector<std::string>()))
        if (isBackupFolder(appendingPathComponent(folder, name)))
            extractBackup(name, devices, folder);
    return devices;
}

DeviceList scanBackupRoots() {
    DeviceList devices;
    const std::vector<std::string> roots = backupRoots();
    scanRoot(roots.front(), backupFolders(), devices);
    for (auto root = roots.begin() + 1; root != roots.end(); ++root)
        scanRoot(*root, directoryContents(*root), devices);
    return devices;
}

DeviceList getDevices() {
    createRecoveryFolder();
    return scanBackupRoots();
}

std::string deviceDisplayText(const DeviceRecord& device) {
    return device.name && !device.name->empty() ? *device.name : "(Unknown Name)";
}

}  // namespace salvora
