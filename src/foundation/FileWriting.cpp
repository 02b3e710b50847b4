#include "foundation/FileWriting.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <random>
#include <string>

#include "foundation/FolderEntry.h"
#include "foundation/platform/ContentsCopy.h"
#include "foundation/platform/NoReplaceRename.h"
#include "foundation/platform/UnnamedFile.h"

namespace salvora {
namespace {

// A fresh, exclusive file beside `target`, with a short name so that a long target name
// still leaves room for it. Created with mode 0666 less the umask, like any new file.
int createTemporaryBeside(const FolderEntry& target, std::string& temporaryName) {
    static std::atomic<unsigned> counter{0};
    static const unsigned seed = std::random_device{}();
    for (int attempt = 0; attempt < 100; ++attempt) {
        char name[64];
        std::snprintf(name, sizeof name, ".salvora-%d-%08x.tmp", static_cast<int>(::getpid()),
                      seed ^ (counter++ * 2654435761u));
        temporaryName = name;
        int fd = ::openat(target.folder, name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

// Fails when anything, even a dangling link, exists at the target.
Status refuseExisting(const FolderEntry& target, const char* operation) {
    struct stat existing {};
    if (::fstatat(target.folder, target.relative.c_str(), &existing, AT_SYMLINK_NOFOLLOW) == 0)
        return Error::fromErrno(operation, target.shown, EEXIST);
    return {};
}

enum class Replacing { No, Yes };

// Dates the finished contents and closes them; 0, or the errno of what failed.
int finishContents(FileDescriptor& output, ModificationTime modificationTime) {
    if (modificationTime && !setModificationTime(output.get(), *modificationTime)) return errno;
    return output.close();
}

// Makes the target from what `write` writes into a fresh temporary file beside it, which
// takes the target's name only once complete and dated; on failure it is removed again.
Status makeThroughTemporary(const FolderEntry& target, const char* operation, Replacing replacing,
                            ModificationTime modificationTime, const ContentsWriter& write) {
    std::string temporary;
    FileDescriptor output(createTemporaryBeside(target, temporary));
    if (!output.valid()) return Error::fromErrno(operation, target.shown, errno);
    Status made = write(output.get());
    if (made) {
        int failure = finishContents(output, modificationTime);
        if (failure == 0) {
            const bool renamed =
                replacing == Replacing::Yes
                    ? ::renameat(target.folder, temporary.c_str(), target.folder,
                                 target.relative.c_str()) == 0
                    : renameWithoutReplacing(target.folder, temporary, target.relative);
            if (renamed) return {};
            failure = errno;
        }
        made = Error::fromErrno(operation, target.shown, failure);
    }
    ::unlinkat(target.folder, temporary.c_str(), 0);
    return made;
}

// A new file that never replaces anything and is never seen incomplete.
Status makeNewFile(const FolderEntry& target, const char* operation,
                   ModificationTime modificationTime, const ContentsWriter& write) {
    Status made = makeThroughUnnamedFile(target, operation, modificationTime, write);
    if (made || made.error().kind != ErrorKind::Unsupported) return made;
    return makeThroughTemporary(target, operation, Replacing::No, modificationTime, write);
}

}  // namespace

Status copyItem(const OpenFolder& sourceFolder, std::string_view sourceName,
                const OpenFolder& targetFolder, std::string_view targetName,
                ModificationTime modificationTime) {
    auto source = entryOf(sourceFolder, sourceName, "Could not copy from");
    if (!source) return source.error();
    auto target = entryOf(targetFolder, targetName, "Could not copy to");
    if (!target) return target.error();
    int errorNumber = 0;
    FileDescriptor input(
        openRegularFileForReading(source->folder, source->relative, O_NOFOLLOW, errorNumber));
    if (!input.valid()) return sourceError("Could not copy from", source->shown, errorNumber);
    if (Status free = refuseExisting(*target, "Could not copy to"); !free) return free;
    return makeNewFile(*target, "Could not copy to", modificationTime, [&](int output) -> Status {
        if (copyContents(input.get(), output)) return {};
        return Error::fromErrno("Could not copy to", target->shown, errno);
    });
}

Status writeAtomically(std::span<const std::byte> bytes, const OpenFolder& folder,
                       std::string_view name, ModificationTime modificationTime) {
    auto target = entryOf(folder, name, "Could not write");
    if (!target) return target.error();
    return makeThroughTemporary(
        *target, "Could not write", Replacing::Yes, modificationTime, [&](int output) -> Status {
            if (writeAll(output, bytes)) return {};
            return Error::fromErrno("Could not write", target->shown, errno);
        });
}

Status createFile(const OpenFolder& folder, std::string_view name, const ContentsWriter& write,
                  ModificationTime modificationTime) {
    auto target = entryOf(folder, name, "Could not write");
    if (!target) return target.error();
    if (Status free = refuseExisting(*target, "Could not write"); !free) return free;
    return makeNewFile(*target, "Could not write", modificationTime, write);
}

}  // namespace salvora
