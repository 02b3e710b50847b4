#include "foundation/FolderEntry.h"

#include <cerrno>

namespace salvora {
namespace {

bool isPlainName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string_view("/\0", 2)) == std::string_view::npos;
}

}  // namespace

Result<FolderEntry> entryOf(const OpenFolder& folder, std::string_view name,
                            const char* operation) {
    if (!isPlainName(name)) return Error{operation, folder.pathOf(name), "Not a plain file name"};
    return FolderEntry{folder.descriptor(), std::string(name), folder.pathOf(name)};
}

Error sourceError(const char* operation, const std::string& path, int errorNumber) {
    if (errorNumber == ELOOP) return Error{operation, path, "Is a symbolic link"};
    if (errorNumber == EINVAL) return Error{operation, path, "Not a regular file"};
    return Error::fromErrno(operation, path, errorNumber);
}

}  // namespace salvora
