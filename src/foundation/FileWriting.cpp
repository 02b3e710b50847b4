#include "foundation/FileWriting.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <random>
#include <string>

#include "foundation/DriveTraits.h"
#include "foundation/FolderEntry.h"
#include "foundation/platform/ContentsCopy.h"
#include "foundation/platform/NoReplaceRename.h"
#include "foundation/platform/UnnamedFile.h"

namespace salvora {
namespace {

// Names offered for one file at most: enough for every kind of refusal and its numbering.
constexpr int mostNames = 16;

// What a naming step answers when the file system has no such way: the next way is tried.
constexpr int wayUnavailable = -1;

// A fresh, exclusive file in the folder, with a short name so that a long target name still
// leaves room for it. Created with mode 0666 less the umask, like any new file.
int createTemporaryIn(int folder, std::string& temporaryName) {
    static std::atomic<unsigned> counter{0};
    static const unsigned seed = std::random_device{}();
    for (int attempt = 0; attempt < 100; ++attempt) {
        char name[64];
        std::snprintf(name, sizeof name, ".salvora-%d-%08x.tmp", static_cast<int>(::getpid()),
                      seed ^ (counter++ * 2654435761u));
        temporaryName = name;
        int fd = ::openat(folder, name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
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

// Names the finished file through `name`, which answers 0 or the errno, under the target's name
// or, each time the folder refuses one, the next that `making` offers; the name taken, or an
// error naming the path last tried.
template <typename Name>
Result<std::string> nameFinished(const FolderEntry& target, const char* operation,
                                 const Making& making, const Name& name) {
    std::string tried = target.relative;
    for (int offered = 0;; ++offered) {
        const int failure = name(tried);
        if (failure == 0) return tried;
        std::optional<std::string> next;
        if (refusesName(failure) && making.nextName && offered < mostNames)
            next = making.nextName(tried, refusalKind(failure));
        if (!next) {
            // The error names the name last tried.
            const std::string shown =
                target.shown.substr(0, target.shown.size() - target.relative.size()) + tried;
            Error error = Error::fromErrno(operation, shown, failure);
            if (refusesName(failure)) error.kind = refusalKind(failure);
            return error;
        }
        tried = std::move(*next);
    }
}

// EINVAL from a rename that refuses to replace tells of the flag or of the name: a rename of
// the temporary file to a name of its own (which it then keeps) tells which.
bool renameTakesTheFlag(int folder, std::string& temporary) {
    const std::string probe = temporary + "~";
    if (!renameWithoutReplacing(folder, temporary, probe)) return false;
    temporary = probe;
    return true;
}

// The empty placeholder, made exclusively, keeps the name from anything else; the finished file
// then replaces only that placeholder of its own, which goes again when the rename fails.
int renameOverPlaceholder(int folder, const std::string& temporary, const std::string& name) {
    const int placeholder =
        ::openat(folder, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (placeholder < 0) return errno;
    ::close(placeholder);
    if (::renameat(folder, temporary.c_str(), folder, name.c_str()) == 0) return 0;
    const int failure = errno;
    ::unlinkat(folder, name.c_str(), 0);
    return failure;
}

// Gives the finished temporary file the name without replacing anything, the way `way` does:
// 0, the errno, or wayUnavailable.
int nameWithoutReplacing(NamingWay way, int folder, std::string& temporary,
                         const std::string& name) {
    switch (way) {
        case NamingWay::UnnamedFile:
        case NamingWay::NoReplaceRename:
            if (renameWithoutReplacing(folder, temporary, name)) return 0;
            if (errno == ENOSYS) return wayUnavailable;
            if (errno != EINVAL) return errno;
            return renameTakesTheFlag(folder, temporary) ? EINVAL : wayUnavailable;
        case NamingWay::HardLink:
            if (::linkat(folder, temporary.c_str(), folder, name.c_str(), 0) == 0) {
                ::unlinkat(folder, temporary.c_str(), 0);
                return 0;
            }
            // exFAT and FAT have no hard links.
            if (errno == EPERM || errno == EOPNOTSUPP || errno == ENOSYS) return wayUnavailable;
            return errno;
        case NamingWay::Placeholder:
            break;
    }
    return renameOverPlaceholder(folder, temporary, name);
}

// The ways to take: the save's, or ones learnt for this file only.
class WaysInUse {
  public:
    explicit WaysInUse(const Making& making) : ways_(making.ways ? *making.ways : own_) {}
    NamingWays& operator*() { return ways_; }
    NamingWays* operator->() { return &ways_; }

  private:
    NamingWays own_;
    NamingWays& ways_;
};

// Makes the target from what `write` writes into a fresh temporary file beside it, which
// takes the target's name only once complete and dated; on failure it is removed again.
Result<std::string> makeThroughTemporary(const FolderEntry& target, const char* operation,
                                         Replacing replacing, const Making& making,
                                         const ContentsWriter& write) {
    std::string temporary;
    FileDescriptor output(createTemporaryIn(target.folder, temporary));
    if (!output.valid()) return Error::fromErrno(operation, target.shown, errno);
    Status written = write(output.get());
    if (!written) {
        ::unlinkat(target.folder, temporary.c_str(), 0);
        return written.error();
    }
    if (int failure = finishContents(output, making.modificationTime); failure != 0) {
        ::unlinkat(target.folder, temporary.c_str(), 0);
        return Error::fromErrno(operation, target.shown, failure);
    }
    WaysInUse ways(making);
    const std::uint64_t device = folderDevice(target.folder);
    auto named = nameFinished(target, operation, making, [&](const std::string& name) {
        if (replacing == Replacing::Yes)
            return ::renameat(target.folder, temporary.c_str(), target.folder, name.c_str()) == 0
                       ? 0
                       : errno;
        for (;;) {
            const NamingWay way = ways->wayOn(device);
            const int failure = nameWithoutReplacing(way, target.folder, temporary, name);
            if (failure != wayUnavailable) return failure;
            ways->refuse(device, way);
        }
    });
    if (!named) ::unlinkat(target.folder, temporary.c_str(), 0);
    return named;
}

// Makes the target from an unnamed file in its folder, linked in once complete and dated.
// Fails as Unsupported, before anything is written, when unnamed files can't be used here.
Result<std::string> makeThroughUnnamedFile(const FolderEntry& target, const char* operation,
                                           const Making& making, const ContentsWriter& write) {
    FileDescriptor output(openUnnamedFile(target.folder));
    if (!output.valid()) {
        if (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)
            return Error{operation, target.shown, "Unnamed files can't be made here",
                         ErrorKind::Unsupported};
        return Error::fromErrno(operation, target.shown, errno);
    }
    if (Status written = write(output.get()); !written) return written.error();
    if (making.modificationTime && !setModificationTime(output.get(), *making.modificationTime))
        return Error::fromErrno(operation, target.shown, errno);
    auto named = nameFinished(target, operation, making, [&](const std::string& name) {
        return linkUnnamedFile(output.get(), target.folder, name) ? 0 : errno;
    });
    if (!named) return named;
    if (int failure = output.close(); failure != 0) {
        ::unlinkat(target.folder, named->c_str(), 0);
        return Error::fromErrno(operation, target.shown, failure);
    }
    return named;
}

// A new file that never replaces anything and is never seen incomplete.
Result<std::string> makeNewFile(const FolderEntry& target, const char* operation,
                                const Making& making, const ContentsWriter& write) {
    WaysInUse ways(making);
    const std::uint64_t device = folderDevice(target.folder);
    Making learning = making;
    learning.ways = &*ways;
    if (ways->wayOn(device) == NamingWay::UnnamedFile) {
        auto made = makeThroughUnnamedFile(target, operation, learning, write);
        if (made || made.error().kind != ErrorKind::Unsupported) return made;
        ways->refuse(device, NamingWay::UnnamedFile);
    }
    return makeThroughTemporary(target, operation, Replacing::No, learning, write);
}

Status statusOf(const Result<std::string>& made) {
    if (!made) return made.error();
    return {};
}

}  // namespace

NamingWay NamingWays::wayOn(std::uint64_t device) const {
    auto learnt = learnt_.find(device);
    return learnt == learnt_.end() ? first_ : learnt->second;
}

void NamingWays::refuse(std::uint64_t device, NamingWay way) {
    if (way != NamingWay::Placeholder && wayOn(device) == way)
        learnt_[device] = static_cast<NamingWay>(static_cast<int>(way) + 1);
}

}  // namespace salvora

namespace salvora {

Result<std::string> copyItem(const OpenFolder& sourceFolder, std::string_view sourceName,
                             const OpenFolder& targetFolder, std::string_view targetName,
                             const Making& making) {
    auto source = entryOf(sourceFolder, sourceName, "Could not copy from");
    if (!source) return source.error();
    auto target = entryOf(targetFolder, targetName, "Could not copy to");
    if (!target) return target.error();
    int errorNumber = 0;
    FileDescriptor input(
        openRegularFileForReading(source->folder, source->relative, O_NOFOLLOW, errorNumber));
    if (!input.valid()) return sourceError("Could not copy from", source->shown, errorNumber);
    if (Status free = refuseExisting(*target, "Could not copy to"); !free) return free.error();
    return makeNewFile(*target, "Could not copy to", making, [&](int output) -> Status {
        if (copyContents(input.get(), output)) return {};
        return Error::fromErrno("Could not copy to", target->shown, errno);
    });
}

Status copyItem(const OpenFolder& sourceFolder, std::string_view sourceName,
                const OpenFolder& targetFolder, std::string_view targetName,
                ModificationTime modificationTime) {
    return statusOf(copyItem(sourceFolder, sourceName, targetFolder, targetName,
                             Making{.modificationTime = modificationTime}));
}

Result<std::string> writeAtomically(std::span<const std::byte> bytes, const OpenFolder& folder,
                                    std::string_view name, const Making& making) {
    auto target = entryOf(folder, name, "Could not write");
    if (!target) return target.error();
    return makeThroughTemporary(
        *target, "Could not write", Replacing::Yes, making, [&](int output) -> Status {
            if (writeAll(output, bytes)) return {};
            return Error::fromErrno("Could not write", target->shown, errno);
        });
}

Status writeAtomically(std::span<const std::byte> bytes, const OpenFolder& folder,
                       std::string_view name, ModificationTime modificationTime) {
    return statusOf(
        writeAtomically(bytes, folder, name, Making{.modificationTime = modificationTime}));
}

Result<std::string> createFile(const OpenFolder& folder, std::string_view name,
                               const ContentsWriter& write, const Making& making) {
    auto target = entryOf(folder, name, "Could not write");
    if (!target) return target.error();
    if (Status free = refuseExisting(*target, "Could not write"); !free) return free.error();
    return makeNewFile(*target, "Could not write", making, write);
}

Status createFile(const OpenFolder& folder, std::string_view name, const ContentsWriter& write,
                  ModificationTime modificationTime) {
    return statusOf(createFile(folder, name, write, Making{.modificationTime = modificationTime}));
}

}  // namespace salvora
