#include "support/FixtureHome.h"

#include <cstdlib>
#include <filesystem>

#include "foundation/BackupFileNames.h"
#include "foundation/Path.h"

namespace salvora::test {

FixtureHome::FixtureHome() {
    if (const char* home = std::getenv("HOME")) previousHome_ = home;
    ::setenv("HOME", folder_.path().c_str(), 1);
}

FixtureHome::~FixtureHome() {
    if (previousHome_) {
        ::setenv("HOME", previousHome_->c_str(), 1);
    } else {
        ::unsetenv("HOME");
    }
}

std::string FixtureHome::rootPath(BackupRoot root) const {
    switch (root) {
        case BackupRoot::Primary:
            return folder_ / "Application Data/Apple Computer/MobileSync/Backup";
        case BackupRoot::Alternate:
            return folder_ / "AppData/Roaming/Apple Computer/MobileSync/Backup";
        case BackupRoot::Store:
            return folder_ / "Apple/MobileSync/Backup";
        case BackupRoot::Mac:
            return folder_ / "Library/Application Support/MobileSync/Backup";
    }
    return {};
}

std::string FixtureHome::addBackup(BackupRoot root, const std::string& folderName,
                                   const std::optional<std::string>& deviceName,
                                   PlistFormat format) {
    std::string folder = rootPath(root) + "/" + folderName;
    std::filesystem::create_directories(folder);
    if (deviceName) {
        PlistValue::dictionary({{"Device Name", PlistValue::string(*deviceName)},
                                {"Product Type", PlistValue::string("iPhone1,2")}})
            .write(appendingPathComponent(folder, InfoPlistName), format);
    }
    return folder;
}

}  // namespace salvora::test
