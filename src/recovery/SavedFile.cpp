#include "recovery/SavedFile.h"

#include <vector>

#include "foundation/Path.h"
#include "foundation/PropertyList.h"
#include "recovery/RelativePath.h"
#include "recovery/SafeFolder.h"

namespace salvora {
namespace {

// The stored file: the folder holding it, reached without a link, and its own name there.
struct StoredFile {
    OpenFolder folder;
    std::string name;
};

std::optional<StoredFile> openStoredFile(const std::string& deviceDirectory,
                                         const std::string& storedName, ErrorSlot& error) {
    if (auto problem = relativePathProblem(storedName, "the backup folder")) {
        error = Error{"Refused to read", appendingPathComponent(deviceDirectory, storedName),
                      "The stored name " + *problem};
        return std::nullopt;
    }
    std::vector<std::string_view> levels = pathComponents(storedName);
    std::string name(levels.back());
    levels.pop_back();
    auto folder = openFolderBelow(deviceDirectory, levels, CreateMissing::No, error);
    if (!folder) return std::nullopt;
    return StoredFile{std::move(*folder), std::move(name)};
}

// The write way: the stored file is a property list whose "Data" holds the contents.
ErrorSlot writeDataOfPropertyList(const StoredFile& stored, const OpenFolder& folder,
                                  std::string_view name) {
    ErrorSlot error;
    auto bytes = readFile(stored.folder, stored.name, &error);
    if (!bytes) return error;
    const std::string storedPath = stored.folder.pathOf(stored.name);
    PropertyList list = PropertyList::fromData(bytes->bytes());
    if (list.kind() != PropertyList::Kind::Dictionary)
        return Error{"Could not read", storedPath, "Not a property list dictionary"};
    auto data = list["Data"].data();
    if (!data) return Error{"Could not read", storedPath, "Holds no \"Data\" value"};
    return writeAtomically(*data, folder, name);
}

}  // namespace

ErrorSlot produceSavedFile(const std::string& deviceDirectory, const FileRecord& file,
                           const OpenFolder& folder, std::string_view name) {
    ErrorSlot error;
    auto stored = openStoredFile(deviceDirectory, file.name, error);
    if (!stored) return error;
    if (file.isOldVersion()) return writeDataOfPropertyList(*stored, folder, name);
    return copyItem(stored->folder, stored->name, folder, name);
}

}  // namespace salvora
