#pragma once

// Writes a large backup from a plan, streaming, so a million entries take seconds: the
// device's Info.plist, the catalogue in one layout, and the stored files of the stored
// application.
#include <cstddef>
#include <cstdint>
#include <string>

#include "bench/BackupShape.h"

namespace salvora::bench {

enum class CatalogueLayout {
    ManifestDatabase,  // "Manifest.mbdx" and "Manifest.mbdb", stored files named by the key
    ManifestDb,        // "Manifest.db", stored files in folders named by the key's first byte
};

struct WrittenBackup {
    std::size_t files = 0;
    std::size_t folders = 0;
    std::size_t storedFiles = 0;
    std::uint64_t storedBytes = 0;
};

// Writes into `folder`, creating it; throws std::runtime_error when something can't be written.
WrittenBackup writeLargeBackup(const std::string& folder, const BackupPlan& plan,
                               CatalogueLayout layout, const std::string& deviceName);

}  // namespace salvora::bench
