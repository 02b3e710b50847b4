#include "foundation/FileManager.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <pwd.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>

#include "foundation/FileDescriptor.h"
#include "foundation/Path.h"

namespace salvora {
namespace {

// A fresh, exclusive file beside `target`, with a short name so that a long target name
// still leaves room for it. Created with mode 0666 less the umask, like any new file.
int createTemporaryBeside(const std::string& target, std::string& temporaryPath) {
    static std::atomic<unsigned> counter{0};
    static const unsigned seed = std::random_device{}();
    const std::string folder = deletingLastPathComponent(target);
    for (int attempt = 0; attempt < 100; ++attempt) {
        char name[64];
        std::snprintf(name, sizeof name, ".salvora-%d-%08x.tmp", static_cast<int>(::getpid()),
                      seed ^ (counter++ * 2654435761u));
        temporaryPath = folder.empty() ? std::string(name) : appendingPathComponent(folder, name);
        int fd = ::open(temporaryPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

// Copies the whole of `source` into `target`: a reflink where the file system offers one,
// else copy_file_range in the kernel, else a plain read and write loop.
bool copyContents(int source, int target) {
    if (::ioctl(target, FICLONE, source) == 0) return true;
    bool kernelCopy = true;
    while (kernelCopy) {
        ssize_t copied = ::copy_file_range(source, nullptr, target, nullptr, 1 << 30, 0);
        if (copied == 0) return true;
        if (copied > 0) continue;
        if (errno == EINTR) continue;
        if (errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP)
            return false;
        kernelCopy = false;
    }
    std::byte buffer[1 << 16];
    for (;;) {
        ssize_t got = ::read(source, buffer, sizeof buffer);
        if (got == 0) return true;
        if (got < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (!writeAll(target, std::span<const std::byte>(buffer, static_cast<std::size_t>(got))))
            return false;
    }
}

// Gives the finished temporary file the target's name, never replacing anything there.
bool renameWithoutReplacing(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    // A file system without the flag: a hard link fails on an existing name just the same.
    if (::link(from.c_str(), to.c_str()) != 0) return false;
    ::unlink(from.c_str());
    return true;
}

}  // namespace

std::string homeDirectory() {
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') return home;
    struct passwd entry {};
    struct passwd* found = nullptr;
    char buffer[4096];
    if (::getpwuid_r(::getuid(), &entry, buffer, sizeof buffer, &found) == 0 && found != nullptr)
        return found->pw_dir;
    return "/";
}

std::optional<std::vector<std::string>> directoryContents(const std::string& path) {
    DIR* directory = ::opendir(path.c_str());
    if (directory == nullptr) return std::nullopt;
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(directory)) {
        std::string_view name(entry->d_name);
        if (name != "." && name != "..") names.emplace_back(name);
    }
    ::closedir(directory);
    std::sort(names.begin(), names.end());
    return names;
}

bool fileExists(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0;
}

bool isDirectory(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

std::optional<std::chrono::system_clock::time_point> modificationDate(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) return std::nullopt;
    using namespace std::chrono;
    return system_clock::time_point(duration_cast<system_clock::duration>(
        seconds(status.st_mtim.tv_sec) + nanoseconds(status.st_mtim.tv_nsec)));
}

ErrorSlot createDirectory(const std::string& path) {
    if (::mkdir(path.c_str(), 0777) != 0)
        return Error::fromErrno("Could not create folder", path, errno);
    return std::nullopt;
}

ErrorSlot createDirectoryWithIntermediates(const std::string& path) {
    std::error_code code;
    std::filesystem::create_directories(std::filesystem::u8path(path), code);
    if (code && !isDirectory(path)) return Error::fromCode("Could not create folder", path, code);
    return std::nullopt;
}

ErrorSlot copyItem(const std::string& source, const std::string& target) {
    int errorNumber = 0;
    FileDescriptor input(openRegularFileForReading(source, O_NOFOLLOW, errorNumber));
    if (!input.valid()) {
        if (errorNumber == ELOOP) return Error{"Could not copy from", source, "Is a symbolic link"};
        if (errorNumber == EINVAL)
            return Error{"Could not copy from", source, "Not a regular file"};
        return Error::fromErrno("Could not copy from", source, errorNumber);
    }
    struct stat existing {};
    if (::lstat(target.c_str(), &existing) == 0)
        return Error::fromErrno("Could not copy to", target, EEXIST);

    std::string temporary;
    FileDescriptor output(createTemporaryBeside(target, temporary));
    if (!output.valid()) return Error::fromErrno("Could not copy to", target, errno);
    bool copied = copyContents(input.get(), output.get());
    int failure = copied ? output.close() : errno;
    if (failure == 0 && renameWithoutReplacing(temporary, target)) return std::nullopt;
    if (failure == 0) failure = errno;
    ::unlink(temporary.c_str());
    return Error::fromErrno("Could not copy to", target, failure);
}

ErrorSlot writeAtomically(std::span<const std::byte> bytes, const std::string& target) {
    std::string temporary;
    FileDescriptor output(createTemporaryBeside(target, temporary));
    if (!output.valid()) return Error::fromErrno("Could not write", target, errno);
    int failure = writeAll(output.get(), bytes) ? output.close() : errno;
    if (failure == 0 && ::rename(temporary.c_str(), target.c_str()) == 0) return std::nullopt;
    if (failure == 0) failure = errno;
    ::unlink(temporary.c_str());
    return Error::fromErrno("Could not write", target, failure);
}

std::optional<FileBytes> readFile(const std::string& path, ErrorSlot* error) {
    auto fail = [&](int errorNumber) -> std::optional<FileBytes> {
        if (error != nullptr) {
            *error = errorNumber == EINVAL ? Error{"Could not read", path, "Not a regular file"}
                                           : Error::fromErrno("Could not read", path, errorNumber);
        }
        return std::nullopt;
    };
    int errorNumber = 0;
    FileDescriptor input(openRegularFileForReading(path, 0, errorNumber));
    if (!input.valid()) return fail(errorNumber);
    struct stat status {};
    if (::fstat(input.get(), &status) != 0) return fail(errno);
    FileBytes contents(static_cast<std::size_t>(status.st_size));
    std::span<std::byte> free = contents.mutableBytes();
    std::size_t filled = 0;
    while (filled < free.size()) {
        ssize_t got = ::read(input.get(), free.data() + filled, free.size() - filled);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return fail(errno);
        if (got == 0) return fail(EIO);  // the file shrank while it was read
        filled += static_cast<std::size_t>(got);
    }
    return contents;
}

}  // namespace salvora
