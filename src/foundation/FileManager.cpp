#include "foundation/FileManager.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>

#include "foundation/FolderEntry.h"
#include "foundation/Path.h"
#include "foundation/platform/ContentsCopy.h"
#include "foundation/platform/NoReplaceRename.h"
#include "foundation/platform/UnnamedFile.h"

namespace salvora {
namespace {

FolderEntry plainPath(const std::string& path) { return {AT_FDCWD, path, path}; }

bool isPlainName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string_view("/\0", 2)) == std::string_view::npos;
}

// The entry `name` of an open folder; absent (with the error filled in) for a name that is not
// one plain component, which could otherwise lead out of the folder.
std::optional<FolderEntry> entryOf(const OpenFolder& folder, std::string_view name,
                                   const char* operation, ErrorSlot& error) {
    if (!isPlainName(name)) {
        error = Error{operation, folder.pathOf(name), "Not a plain file name"};
        return std::nullopt;
    }
    return FolderEntry{folder.descriptor(), std::string(name), folder.pathOf(name)};
}

std::optional<FolderEntry> entryToRead(const OpenFolder& folder, std::string_view name,
                                       ErrorSlot* error) {
    ErrorSlot ignored;
    return entryOf(folder, name, "Could not read", error != nullptr ? *error : ignored);
}

// Why a source could not be opened, in words for the user.
Error sourceError(const char* operation, const std::string& path, int errorNumber) {
    if (errorNumber == ELOOP) return Error{operation, path, "Is a symbolic link"};
    if (errorNumber == EINVAL) return Error{operation, path, "Not a regular file"};
    return Error::fromErrno(operation, path, errorNumber);
}

// A fresh, exclusive file beside `target`, with a short name so that a long target name
// still leaves room for it. Created with mode 0666 less the umask, like any new file.
int createTemporaryBeside(const FolderEntry& target, std::string& temporaryPath) {
    static std::atomic<unsigned> counter{0};
    static const unsigned seed = std::random_device{}();
    const std::string folder = deletingLastPathComponent(target.relative);
    for (int attempt = 0; attempt < 100; ++attempt) {
        char name[64];
        std::snprintf(name, sizeof name, ".salvora-%d-%08x.tmp", static_cast<int>(::getpid()),
                      seed ^ (counter++ * 2654435761u));
        temporaryPath = folder.empty() ? std::string(name) : appendingPathComponent(folder, name);
        int fd = ::openat(target.folder, temporaryPath.c_str(),
                          O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

// Fails when anything, even a dangling link, exists at the target.
ErrorSlot refuseExisting(const FolderEntry& target, const char* operation) {
    struct stat existing {};
    if (::fstatat(target.folder, target.relative.c_str(), &existing, AT_SYMLINK_NOFOLLOW) == 0)
        return Error::fromErrno(operation, target.shown, EEXIST);
    return std::nullopt;
}

enum class Replacing { No, Yes };

// Dates the finished contents and closes them; 0, or the errno of what failed.
int finishContents(FileDescriptor& output, ModificationTime modificationTime) {
    if (modificationTime && !setModificationTime(output.get(), *modificationTime)) return errno;
    return output.close();
}

// Makes the target from what `write` writes into a fresh temporary file beside it, which
// takes the target's name only once complete and dated; on failure it is removed again.
ErrorSlot makeThroughTemporary(const FolderEntry& target, const char* operation,
                               Replacing replacing, ModificationTime modificationTime,
                               const ContentsWriter& write) {
    std::string temporary;
    FileDescriptor output(createTemporaryBeside(target, temporary));
    if (!output.valid()) return Error::fromErrno(operation, target.shown, errno);
    ErrorSlot error = write(output.get());
    if (!error) {
        int failure = finishContents(output, modificationTime);
        if (failure == 0) {
            const bool renamed =
                replacing == Replacing::Yes
                    ? ::renameat(target.folder, temporary.c_str(), target.folder,
                                 target.relative.c_str()) == 0
                    : renameWithoutReplacing(target.folder, temporary, target.relative);
            if (renamed) return std::nullopt;
            failure = errno;
        }
        error = Error::fromErrno(operation, target.shown, failure);
    }
    ::unlinkat(target.folder, temporary.c_str(), 0);
    return error;
}

// A new file that never replaces anything and is never seen incomplete.
ErrorSlot makeNewFile(const FolderEntry& target, const char* operation,
                      ModificationTime modificationTime, const ContentsWriter& write) {
    if (auto made = makeThroughUnnamedFile(target, operation, modificationTime, write))
        return *made;
    return makeThroughTemporary(target, operation, Replacing::No, modificationTime, write);
}

ErrorSlot copyEntry(const FolderEntry& source, const FolderEntry& target,
                    ModificationTime modificationTime) {
    int errorNumber = 0;
    FileDescriptor input(
        openRegularFileForReading(source.folder, source.relative, O_NOFOLLOW, errorNumber));
    if (!input.valid()) return sourceError("Could not copy from", source.shown, errorNumber);
    if (ErrorSlot taken = refuseExisting(target, "Could not copy to")) return taken;
    return makeNewFile(target, "Could not copy to", modificationTime, [&](int output) -> ErrorSlot {
        if (copyContents(input.get(), output)) return std::nullopt;
        return Error::fromErrno("Could not copy to", target.shown, errno);
    });
}

ErrorSlot writeEntry(std::span<const std::byte> bytes, const FolderEntry& target,
                     ModificationTime modificationTime) {
    return makeThroughTemporary(target, "Could not write", Replacing::Yes, modificationTime,
                                [&](int output) -> ErrorSlot {
                                    if (writeAll(output, bytes)) return std::nullopt;
                                    return Error::fromErrno("Could not write", target.shown, errno);
                                });
}

std::optional<FileDescriptor> openEntry(const FolderEntry& entry, int extraFlags,
                                        ErrorSlot* error) {
    int errorNumber = 0;
    FileDescriptor input(
        openRegularFileForReading(entry.folder, entry.relative, extraFlags, errorNumber));
    if (input.valid()) return input;
    if (error != nullptr) *error = sourceError("Could not read", entry.shown, errorNumber);
    return std::nullopt;
}

std::optional<FileBytes> readEntry(const FolderEntry& entry, int extraFlags, ErrorSlot* error) {
    auto input = openEntry(entry, extraFlags, error);
    if (!input) return std::nullopt;
    auto fail = [&](int errorNumber) -> std::optional<FileBytes> {
        if (error != nullptr) *error = Error::fromErrno("Could not read", entry.shown, errorNumber);
        return std::nullopt;
    };
    struct stat status {};
    if (::fstat(input->get(), &status) != 0) return fail(errno);
    FileBytes contents(static_cast<std::size_t>(status.st_size));
    long got = readUpTo(input->get(), contents.mutableBytes());
    if (got < 0) return fail(errno);
    if (static_cast<std::size_t>(got) < contents.size()) return fail(EIO);  // it shrank meanwhile
    return contents;
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

bool isRegularFile(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
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
    return copyEntry(plainPath(source), plainPath(target), std::nullopt);
}

ErrorSlot writeAtomically(std::span<const std::byte> bytes, const std::string& target) {
    return writeEntry(bytes, plainPath(target), std::nullopt);
}

std::optional<FileBytes> readFile(const std::string& path, ErrorSlot* error) {
    return readEntry(plainPath(path), 0, error);
}

std::string OpenFolder::pathOf(std::string_view name) const {
    return appendingPathComponent(path_, name);
}

std::optional<OpenFolder> openFolder(const std::string& path, ErrorSlot* error) {
    FileDescriptor folder(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.valid()) return OpenFolder(std::move(folder), path);
    if (error != nullptr) *error = Error::fromErrno("Could not open folder", path, errno);
    return std::nullopt;
}

std::optional<OpenFolder> openFolderIn(const OpenFolder& parent, std::string_view name,
                                       CreateMissing create, ErrorSlot* error) {
    ErrorSlot ignored;
    ErrorSlot& slot = error != nullptr ? *error : ignored;
    auto entry = entryOf(parent, name, "Could not open folder", slot);
    if (!entry) return std::nullopt;
    if (create == CreateMissing::Yes &&
        ::mkdirat(entry->folder, entry->relative.c_str(), 0777) != 0 && errno != EEXIST) {
        slot = Error::fromErrno("Could not create folder", entry->shown, errno);
        return std::nullopt;
    }
    FileDescriptor folder(::openat(entry->folder, entry->relative.c_str(),
                                   O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (folder.valid()) return OpenFolder(std::move(folder), entry->shown);
    // O_NOFOLLOW with O_DIRECTORY reports a link as "not a directory"; say what it is.
    int errorNumber = errno;
    struct stat status {};
    if (::fstatat(entry->folder, entry->relative.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0 &&
        S_ISLNK(status.st_mode)) {
        slot = Error{"Could not open folder", entry->shown, "Is a symbolic link"};
    } else {
        slot = Error::fromErrno("Could not open folder", entry->shown, errorNumber);
    }
    return std::nullopt;
}

ErrorSlot copyItem(const OpenFolder& sourceFolder, std::string_view sourceName,
                   const OpenFolder& targetFolder, std::string_view targetName,
                   ModificationTime modificationTime) {
    ErrorSlot error;
    auto source = entryOf(sourceFolder, sourceName, "Could not copy from", error);
    if (!source) return error;
    auto target = entryOf(targetFolder, targetName, "Could not copy to", error);
    if (!target) return error;
    return copyEntry(*source, *target, modificationTime);
}

ErrorSlot writeAtomically(std::span<const std::byte> bytes, const OpenFolder& folder,
                          std::string_view name, ModificationTime modificationTime) {
    ErrorSlot error;
    auto target = entryOf(folder, name, "Could not write", error);
    if (!target) return error;
    return writeEntry(bytes, *target, modificationTime);
}

ErrorSlot createFile(const OpenFolder& folder, std::string_view name, const ContentsWriter& write,
                     ModificationTime modificationTime) {
    ErrorSlot error;
    auto target = entryOf(folder, name, "Could not write", error);
    if (!target) return error;
    if (ErrorSlot taken = refuseExisting(*target, "Could not write")) return taken;
    return makeNewFile(*target, "Could not write", modificationTime, write);
}

std::optional<FileBytes> readFile(const OpenFolder& folder, std::string_view name,
                                  ErrorSlot* error) {
    auto entry = entryToRead(folder, name, error);
    if (!entry) return std::nullopt;
    return readEntry(*entry, O_NOFOLLOW, error);
}

std::optional<FileDescriptor> openForReading(const OpenFolder& folder, std::string_view name,
                                             ErrorSlot* error) {
    auto entry = entryToRead(folder, name, error);
    if (!entry) return std::nullopt;
    return openEntry(*entry, O_NOFOLLOW, error);
}

}  // namespace salvora
