#include "support/MountedDrive.h"

#include <unistd.h>

#include <filesystem>

#include "support/ProcessRun.h"

namespace salvora::test {

MountedDrive::MountedDrive(DriveFormat format) {
    if (::geteuid() != 0) {
        unavailable_ = "mounting a file system needs root";
    } else if (::access("/dev/fuse", R_OK | W_OK) != 0) {
        unavailable_ = "no /dev/fuse";
    } else {
        std::filesystem::create_directory(mountPoint_);
        writeFile(image_, "");
        std::filesystem::resize_file(image_, 64 << 20);
        if (format == DriveFormat::Ntfs)
            mounted_ = run("mkntfs", {"-F", "-Q", image_}) &&
                       run("ntfs-3g", {"-o", "windows_names", image_, mountPoint_});
        // exfat-fuse takes a block device, not an image file.
        else if (run("mkfs.exfat", {image_}) && run("losetup", {"-f", "--show", image_}))
            mounted_ = run("mount.exfat-fuse", {loopDevice_ = output_, mountPoint_});
    }
}

MountedDrive::~MountedDrive() {
    if (mounted_) run("umount", {mountPoint_});
    if (!loopDevice_.empty()) run("losetup", {"-d", loopDevice_});
}

bool MountedDrive::run(const std::string& tool, std::vector<std::string> args) {
    // env finds the tool on the search path, /usr/sbin included.
    args.insert(args.begin(), tool);
    ProcessResult result = runProcess("/usr/bin/env", args);
    if (result.status != 0) unavailable_ = tool + " failed (is it installed?): " + result.err;
    output_ = result.out.substr(0, result.out.find('\n'));
    return result.status == 0;
}

}  // namespace salvora::test
