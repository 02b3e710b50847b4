#pragma once

// A fake home folder with the sync service's backup roots, for discovery and everything after
// it. While a FixtureHome lives, $HOME points at it.
#include <optional>
#include <string>

#include "support/PlistValue.h"
#include "support/TemporaryFolder.h"

namespace salvora::test {

enum class BackupRoot { Primary, Alternate, Store, Mac };

class FixtureHome {
  public:
    FixtureHome();
    ~FixtureHome();
    FixtureHome(const FixtureHome&) = delete;
    FixtureHome& operator=(const FixtureHome&) = delete;

    const std::string& path() const { return folder_.path(); }
    std::string operator/(std::string_view relative) const { return folder_ / relative; }

    // The root's path below this home (not created).
    std::string rootPath(BackupRoot root) const;

    // Creates a backup folder directly inside the root, with an Info.plist giving the device
    // name when one is given. Returns the folder's path.
    std::string addBackup(BackupRoot root, const std::string& folderName,
                          const std::optional<std::string>& deviceName,
                          PlistFormat format = PlistFormat::Xml);

  private:
    TemporaryFolder folder_;
    std::optional<std::string> previousHome_;
};

}  // namespace salvora::test
