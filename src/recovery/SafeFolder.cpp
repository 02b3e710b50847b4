#include "recovery/SafeFolder.h"

#include "foundation/FolderCreation.h"

namespace salvora {

Result<OpenFolder> openFolderBelow(const std::string& base,
                                   std::span<const std::string_view> components,
                                   CreateMissing create) {
    Result<OpenFolder> folder = openFolder(base);
    // Made only when it can't be opened: saving many files, all but the first find it made.
    if (!folder && create == CreateMissing::Yes) {
        if (Status made = createDirectoryWithIntermediates(base); !made) return made.error();
        folder = openFolder(base);
    }
    for (auto level = components.begin(); folder && level != components.end(); ++level)
        folder = openFolderIn(*folder, *level, create);
    return folder;
}

}  // namespace salvora
