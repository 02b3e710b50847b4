#pragma once

// A real exFAT or NTFS file system in an image in a temporary folder, mounted there through FUSE
// (exfat-fuse on a loop device; ntfs-3g refusing what Windows refuses), where root, /dev/fuse
// and the tools allow; unmounted and removed when it goes, whatever the test did.
#include <optional>
#include <string>
#include <vector>

#include "support/TemporaryFolder.h"

namespace salvora::test {

enum class DriveFormat { Exfat, Ntfs };

class MountedDrive {
  public:
    explicit MountedDrive(DriveFormat format);
    ~MountedDrive();
    MountedDrive(const MountedDrive&) = delete;
    MountedDrive& operator=(const MountedDrive&) = delete;

    // Why the drive could not be mounted; absent once mounted.
    const std::optional<std::string>& unavailable() const { return unavailable_; }
    // The mounted drive's top folder.
    const std::string& path() const { return mountPoint_; }

  private:
    // Runs a tool of the system, keeping the first line it prints; false, with the reason
    // kept, when it fails.
    bool run(const std::string& tool, std::vector<std::string> args);

    TemporaryFolder folder_;
    std::string image_ = folder_ / "drive.img";
    std::string mountPoint_ = folder_ / "drive";
    std::string loopDevice_;
    std::string output_;
    bool mounted_ = false;
    std::optional<std::string> unavailable_;
};

}  // namespace salvora::test
