#pragma once

// A real exFAT or NTFS file system, made in an image file in a temporary folder and mounted
// there through FUSE (exfat-fuse on a loop device; ntfs-3g with `windows_names`, which refuses
// the names Windows refuses), for tests of saving onto USB sticks and Windows disks. Mounting
// needs root, /dev/fuse and the Debian tools; without them the drive is unavailable and says
// why. It is unmounted and its image removed when it goes, whatever the test did.
#include <optional>
#include <string>

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
    void mount(DriveFormat format);
    // Runs a tool found on the system's paths; false, with the reason kept, when it fails.
    bool run(const std::string& tool, const std::vector<std::string>& args,
             std::string* out = nullptr);

    TemporaryFolder folder_;
    std::string image_ = folder_ / "drive.img";
    std::string mountPoint_ = folder_ / "drive";
    std::string loopDevice_;
    bool mounted_ = false;
    std::optional<std::string> unavailable_;
};

}  // namespace salvora::test
