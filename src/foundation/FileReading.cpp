#include "foundation/FileReading.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

#include "foundation/FolderEntry.h"

namespace salvora {
namespace {

std::optional<FolderEntry> entryToRead(const OpenFolder& folder, std::string_view name,
                                       ErrorSlot* error) {
    ErrorSlot ignored;
    return entryOf(folder, name, "Could not read", error != nullptr ? *error : ignored);
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

std::optional<FileBytes> readFile(const std::string& path, ErrorSlot* error) {
    return readEntry({AT_FDCWD, path, path}, 0, error);
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
