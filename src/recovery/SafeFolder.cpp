#include "recovery/SafeFolder.h"

#include "foundation/FolderCreation.h"

namespace salvora {

std::optional<OpenFolder> openFolderBelow(const std::string& base,
                                          std::span<const std::string_view> components,
                                          CreateMissing create, ErrorSlot& error) {
    ErrorSlot openError;
    std::optional<OpenFolder> folder = openFolder(base, &openError);
    // Made only when it can't be opened: saving many files, all but the first find it made.
    if (!folder && create == CreateMissing::Yes) {
        error = createDirectoryWithIntermediates(base);
        if (error) return std::nullopt;
        folder = openFolder(base, &error);
    } else if (!folder) {
        error = openError;
    }
    for (auto level = components.begin(); folder && level != components.end(); ++level)
        folder = openFolderIn(*folder, *level, create, &error);
    return folder;
}

}  // namespace salvora
