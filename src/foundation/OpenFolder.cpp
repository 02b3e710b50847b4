#include "foundation/OpenFolder.h"

#include <sys/stat.h>

#include <cerrno>

#include "foundation/DriveTraits.h"
#include "foundation/FolderEntry.h"
#include "foundation/Path.h"

namespace salvora {

std::string OpenFolder::pathOf(std::string_view name) const {
    return appendingPathComponent(path_, name);
}

Result<OpenFolder> openFolder(const std::string& path) {
    FileDescriptor folder(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.valid()) return OpenFolder(std::move(folder), path);
    return Error::fromErrno("Could not open folder", path, errno);
}

Result<OpenFolder> openFolderIn(const OpenFolder& parent, std::string_view name,
                                CreateMissing create) {
    auto entry = entryOf(parent, name, "Could not open folder");
    if (!entry) return entry.error();
    if (create == CreateMissing::Yes &&
        ::mkdirat(entry->folder, entry->relative.c_str(), 0777) != 0 && errno != EEXIST) {
        const int failure = errno;
        Error error = Error::fromErrno("Could not create folder", entry->shown, failure);
        if (refusesName(failure)) error.kind = refusalKind(failure);
        return error;
    }
    FileDescriptor folder(::openat(entry->folder, entry->relative.c_str(),
                                   O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (folder.valid()) return OpenFolder(std::move(folder), entry->shown);
    // O_NOFOLLOW with O_DIRECTORY reports a link as "not a directory"; say what it is.
    int errorNumber = errno;
    struct stat status {};
    if (::fstatat(entry->folder, entry->relative.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0 &&
        S_ISLNK(status.st_mode))
        return Error{"Could not open folder", entry->shown, "Is a symbolic link"};
    return Error::fromErrno("Could not open folder", entry->shown, errorNumber);
}

}  // namespace salvora
