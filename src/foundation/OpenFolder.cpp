#include "foundation/OpenFolder.h"

#include <sys/stat.h>

#include <cerrno>

#include "foundation/FolderEntry.h"
#include "foundation/Path.h"

namespace salvora {

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

}  // namespace salvora
