#include "foundation/platform/UnnamedFile.h"

namespace salvora {

// Without a way to name an unnamed file, the caller goes through a named temporary file.
Status makeThroughUnnamedFile(const FolderEntry& target, const char* operation, ModificationTime,
                              const ContentsWriter&) {
    return unnamedFilesUnavailable(target, operation);
}

}  // namespace salvora
