#include "recovery/SafeFolder.h"

namespace salvora {

std::optional<OpenFolder> openFolderBelow(const std::string& base,
                                          std::span<const std::string_view> components,
                                          CreateMissing create, ErrorSlot& error) {
    if (create == CreateMissing::Yes) {
        error = createDirectoryWithIntermediates(base);
        if (error) return std::nullopt;
    }
    std::optional<OpenFolder> folder = openFolder(base, &error);
    for (auto level = components.begin(); folder && level != components.end(); ++level)
        folder = openFolderIn(*folder, *level, create, &error);
    return folder;
}

}  // namespace salvora
