#include "support/MountedDrive.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

#include "support/ProcessRun.h"

namespace salvora::test {
namespace {

std::optional<std::string> toolPath(const std::string& tool) {
    for (const char* folder : {"/usr/sbin", "/sbin", "/usr/bin", "/bin"}) {
        const std::string path = std::string(folder) + "/" + tool;
        if (::access(path.c_str(), X_OK) == 0) return path;
    }
    return std::nullopt;
}

}  // namespace

MountedDrive::MountedDrive(DriveFormat format) {
    if (::geteuid() != 0)
        unavailable_ = "mounting a file system needs root";
    else if (::access("/dev/fuse", R_OK | W_OK) != 0)
        unavailable_ = "no /dev/fuse";
    else
        mount(format);
}

MountedDrive::~MountedDrive() {
    if (mounted_) run("umount", {mountPoint_});
    if (!loopDevice_.empty()) run("losetup", {"-d", loopDevice_});
}

bool MountedDrive::run(const std::string& tool, const std::vector<std::string>& args,
                       std::string* out) {
    const std::optional<std::string> path = toolPath(tool);
    if (!path) {
        unavailable_ = tool + " is not installed";
        return false;
    }
    ProcessResult result = runProcess(*path, args);
    if (result.status != 0) {
        unavailable_ = tool + " failed: " + result.err;
        return false;
    }
    if (out != nullptr) *out = result.out;
    return true;
}

void MountedDrive::mount(DriveFormat format) {
    std::filesystem::create_directory(mountPoint_);
    std::filesystem::resize_file((writeFile(image_, ""), image_), 64 << 20);
    if (format == DriveFormat::Ntfs) {
        mounted_ = run("mkntfs", {"-F", "-Q", image_}) &&
                   run("ntfs-3g", {"-o", "windows_names", image_, mountPoint_});
    } else if (run("mkfs.exfat", {image_}) &&
               run("losetup", {"-f", "--show", image_}, &loopDevice_)) {
        // exfat-fuse takes a block device, not an image file.
        while (!loopDevice_.empty() && loopDevice_.back() == '\n') loopDevice_.pop_back();
        mounted_ = run("mount.exfat-fuse", {loopDevice_, mountPoint_});
    }
}

}  // namespace salvora::test
