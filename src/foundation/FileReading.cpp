#include "foundation/FileReading.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>

#include "foundation/FolderEntry.h"

namespace salvora {
namespace {

Result<FileDescriptor> openEntry(const FolderEntry& entry, int extraFlags) {
    int errorNumber = 0;
    FileDescriptor input(
        openRegularFileForReading(entry.folder, entry.relative, extraFlags, errorNumber));
    if (input.valid()) return input;
    return sourceError("Could not read", entry.shown, errorNumber);
}

std::span<std::byte> writable(FileBytes& bytes) { return bytes.mutableBytes(); }
std::span<std::byte> writable(std::vector<std::byte>& bytes) { return bytes; }

template <typename Buffer>
Result<Buffer> readEntry(const FolderEntry& entry, int extraFlags, std::size_t limit = SIZE_MAX) {
    auto input = openEntry(entry, extraFlags);
    if (!input) return input.error();
    auto failure = [&](int errorNumber) {
        return Error::fromErrno("Could not read", entry.shown, errorNumber);
    };
    struct stat status {};
    if (::fstat(input->get(), &status) != 0) return failure(errno);
    Buffer contents(std::min(static_cast<std::size_t>(status.st_size), limit));
    long got = readUpTo(input->get(), writable(contents));
    if (got < 0) return failure(errno);
    if (static_cast<std::size_t>(got) < contents.size())
        return failure(EIO);  // it shrank meanwhile
    return contents;
}

// An entry of an open folder; a link there is refused, never followed.
template <typename Buffer>
Result<Buffer> readFolderEntry(const OpenFolder& folder, std::string_view name, std::size_t limit) {
    auto entry = entryOf(folder, name, "Could not read");
    if (!entry) return entry.error();
    return readEntry<Buffer>(*entry, O_NOFOLLOW, limit);
}

}  // namespace

Result<FileBytes> readFile(const std::string& path) {
    return readEntry<FileBytes>({AT_FDCWD, path, path}, 0);
}

Result<FileBytes> readFile(const OpenFolder& folder, std::string_view name, std::size_t limit) {
    return readFolderEntry<FileBytes>(folder, name, limit);
}

Result<std::vector<std::byte>> readFileIntoVector(const OpenFolder& folder, std::string_view name,
                                                  std::size_t limit) {
    return readFolderEntry<std::vector<std::byte>>(folder, name, limit);
}

Result<FileDescriptor> openForReading(const OpenFolder& folder, std::string_view name) {
    auto entry = entryOf(folder, name, "Could not read");
    if (!entry) return entry.error();
    return openEntry(*entry, O_NOFOLLOW);
}

}  // namespace salvora
