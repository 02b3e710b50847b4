#pragma once

// The camera roll as the catalogue holds it: the files of "CameraRollDomain", looked up by
// their relative paths ("Media/DCIM/100APPLE/IMG_0001.HEIC").
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "catalog/model/Records.h"
#include "sources/photos/PhotoLibrary.h"

namespace salvora {

// Whether the catalogue holds any file of the camera roll.
bool hasCameraRoll(const ApplicationMap& applications);

// A photo or a video by its file name's extension, whatever its case; absent for anything
// else (edit recipes ".AAE", property lists, databases).
std::optional<MediaKind> mediaKindOfName(std::string_view name);

inline constexpr std::string_view CameraRollDomain = "CameraRollDomain";
// The database's place in the camera roll.
inline constexpr std::string_view PhotoLibraryPath = "Media/PhotoData/Photos.sqlite";

// Valid as long as the catalogue it was made from.
class CameraRoll {
  public:
    explicit CameraRoll(const ApplicationMap& applications);

    const FileRecord* file(std::string_view fullpath) const;
    // The photos and videos themselves, taken on the device ("Media/DCIM/") or kept from iCloud
    // ("Media/PhotoData/CPLAssets/"), in catalogue order; thumbnails and caches are not among
    // them.
    const std::vector<const FileRecord*>& mediaFiles() const { return media_; }
    // The video beside a photo with the same name but for the extension: a Live Photo's.
    const FileRecord* liveVideoOf(std::string_view photoPath) const;
    // The edited versions of the file at `fullpath`: "Media/PhotoData/Mutations/<its folder
    // below Media>/<its name without extension>/Adjustments/FullSizeRender.<any extension>".
    std::vector<const FileRecord*> editsOf(std::string_view fullpath) const;

  private:
    std::unordered_map<std::string_view, const FileRecord*> byPath_;
    // The videos of the media files and the edited versions, by their paths without extension.
    std::unordered_multimap<std::string_view, const FileRecord*> videosByStem_;
    std::unordered_multimap<std::string_view, const FileRecord*> editsByStem_;
    std::vector<const FileRecord*> media_;
};

}  // namespace salvora
