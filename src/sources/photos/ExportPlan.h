#pragma once

// What an export of the camera roll will make: each asset with the files that stand for it,
// the name and the date it goes out under, and the user albums it belongs to.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "catalog/model/Records.h"
#include "sources/photos/CameraRoll.h"
#include "sources/photos/PhotoLibrary.h"

namespace salvora {

struct PhotoExportOptions {
    bool albums = false;          // DEST/Albums/ALBUM/ with each user album's members
    bool includeHidden = false;   // assets hidden in the library
    bool includeDeleted = false;  // assets in "Recently Deleted"
    bool portableNames = false;   // every name made safe for every system up front
};

struct PlannedAsset {
    std::string name;  // the original's file name as exported
    MediaKind kind = MediaKind::Photo;
    std::optional<std::int64_t> date;      // capture date, seconds since 1970
    const FileRecord* original = nullptr;  // null: the backup doesn't hold it (iCloud only)
    const FileRecord* liveVideo = nullptr;
    std::vector<const FileRecord*> edits;
};

struct PlannedAlbum {
    std::string title;
    std::vector<std::size_t> members;  // indexes of `ExportPlan::assets`
};

struct ExportPlan {
    std::vector<PlannedAsset> assets;
    std::vector<PlannedAlbum> albums;
};

// The library's assets the options let through, in its order, then the photos and videos it
// doesn't list (all of them without a library), with the dates the backup recorded.
ExportPlan planExport(const CameraRoll& roll, const PhotoLibrary* library,
                      const PhotoExportOptions& options);

}  // namespace salvora
