#include "recovery/RelativePath.h"

#include <string>
#include <utility>

#include "foundation/Path.h"

namespace salvora {

Status soundRelativePath(std::string_view path, std::string_view folder) {
    const auto refused = [&](std::string reason) {
        return Error{"Refused", std::string(path), std::move(reason)};
    };
    // A NUL would cut the name short where the system reads it, so "..\0x" would act as "..".
    if (path.find('\0') != std::string_view::npos) return refused("holds a NUL character");
    const auto components = pathComponents(path);
    if (components.empty()) return refused("names no file");
    for (std::string_view component : components) {
        if (component == "..") return refused("leads outside " + std::string(folder));
        if (component == ".") return refused("has a \".\" component");
    }
    return {};
}

}  // namespace salvora
