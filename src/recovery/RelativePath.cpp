#include "recovery/RelativePath.h"

#include "foundation/Path.h"

namespace salvora {

std::optional<std::string> relativePathProblem(std::string_view path, std::string_view folder) {
    // A NUL would cut the name short where the system reads it, so "..\0x" would act as "..".
    if (path.find('\0') != std::string_view::npos) return "holds a NUL character";
    const auto components = pathComponents(path);
    if (components.empty()) return "names no file";
    for (std::string_view component : components) {
        if (component == "..") return "leads outside " + std::string(folder);
        if (component == ".") return "has a \".\" component";
    }
    return std::nullopt;
}

}  // namespace salvora
