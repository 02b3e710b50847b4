#pragma once

// Where the sync service keeps its backups, and one DeviceRecord per backup folder.
#include <optional>
#include <string>
#include <vector>

#include "catalog/model/Records.h"

namespace salvora {

// The device list of this computer: creates the recovery folder first (ignoring the outcome),
// then scans every backup root in order.
DeviceList getDevices();

// The same scan without creating the recovery folder, for callers that must write nothing.
DeviceList scanBackupRoots();

// home/Application Data/Apple Computer/MobileSync/Backup
std::string backupDirPath();
// home/AppData/Roaming/Apple Computer/MobileSync/Backup
std::string alternateBackupDirPath();
// home/Apple/MobileSync/Backup: the store edition of the sync service on Windows.
std::string storeBackupDirPath();
// home/Library/Application Support/MobileSync/Backup: macOS.
std::string macBackupDirPath();

// Every root, in the order they are scanned.
std::vector<std::string> backupRoots();

// The names listed directly in the primary root; absent when it can't be listed.
std::optional<std::vector<std::string>> backupFolders();

// Appends one DeviceRecord for the entry `name` of `root` when it is a folder.
void extractBackup(const std::string& name, DeviceList& devices, const std::string& root);

// Whether the folder holds a backup: an "Info.plist", a catalogue of any layout, or the
// ".mdbackup"/".mdinfo" files of the oldest.
bool isBackupFolder(const std::string& path);

// The devices of a folder the user points at: the folder itself when it holds a backup, else
// each folder directly inside it that does, by name. Empty when there is none.
DeviceList devicesInFolder(const std::string& path);

// home/Desktop/Recovered iPhone Files
std::string recoveryFolderPath();
// Creates the recovery folder, one level only; the outcome is ignored.
void createRecoveryFolder();

// What the device table shows for a device: its name when it has one that is not empty, else
// "(Unknown Name)".
std::string deviceDisplayText(const DeviceRecord& device);

}  // namespace salvora
