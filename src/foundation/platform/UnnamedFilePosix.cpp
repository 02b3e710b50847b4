#include "foundation/platform/UnnamedFile.h"

namespace salvora {

// Without a way to name an unnamed file, the caller goes through a named temporary file.
std::optional<ErrorSlot> makeThroughUnnamedFile(const FolderEntry&, const char*, ModificationTime,
                                                const ContentsWriter&) {
    return std::nullopt;
}

}  // namespace salvora
