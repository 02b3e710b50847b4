#include "sources/photos/CameraRoll.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "catalog/naming/DomainNames.h"

namespace salvora {
namespace {

constexpr std::string_view mediaFolder = "Media/";
constexpr std::string_view mutationsFolder = "Media/PhotoData/Mutations/";
constexpr std::string_view editName = "/Adjustments/FullSizeRender";

// The one place that knows where the catalogue files the camera roll's domain.
const std::vector<FileRecord>* cameraRollRecords(const ApplicationMap& applications) {
    auto found = applications.find(applicationNameForDomain(CameraRollDomain));
    return found == applications.end() ? nullptr : &found->second->files;
}

// The path without the extension of its last component.
std::string_view withoutExtension(std::string_view path) {
    const std::size_t dot = path.rfind('.');
    const std::size_t slash = path.rfind('/');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
        return path;
    return path.substr(0, dot);
}

bool isMediaFolder(std::string_view path) {
    return path.starts_with("Media/DCIM/") || path.starts_with("Media/PhotoData/CPLAssets/");
}

std::string editStem(std::string_view fullpath) {
    std::string_view below =
        fullpath.starts_with(mediaFolder) ? fullpath.substr(mediaFolder.size()) : fullpath;
    return std::string(mutationsFolder).append(withoutExtension(below)).append(editName);
}

}  // namespace

bool hasCameraRoll(const ApplicationMap& applications) {
    const auto* records = cameraRollRecords(applications);
    return records != nullptr && !records->empty();
}

std::optional<MediaKind> mediaKindOfName(std::string_view name) {
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) return std::nullopt;
    std::string extension(name.substr(dot + 1));
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    static constexpr std::array<std::string_view, 10> photos = {
        "heic", "heif", "jpg", "jpeg", "png", "gif", "tif", "tiff", "dng", "webp"};
    static constexpr std::array<std::string_view, 3> videos = {"mov", "mp4", "m4v"};
    if (std::find(photos.begin(), photos.end(), extension) != photos.end()) return MediaKind::Photo;
    if (std::find(videos.begin(), videos.end(), extension) != videos.end()) return MediaKind::Video;
    return std::nullopt;
}

CameraRoll::CameraRoll(const ApplicationMap& applications) {
    const auto* records = cameraRollRecords(applications);
    if (records == nullptr) return;
    for (const FileRecord& record : *records) {
        if (!record.fullpath()) continue;
        const std::string_view path = *record.fullpath();
        byPath_.emplace(path, &record);
        const auto kind = mediaKindOfName(path);
        if (path.starts_with(mutationsFolder) && withoutExtension(path).ends_with(editName)) {
            editsByStem_.emplace(withoutExtension(path), &record);
        } else if (kind && isMediaFolder(path)) {
            media_.push_back(&record);
            if (*kind == MediaKind::Video) videosByStem_.emplace(withoutExtension(path), &record);
        }
    }
}

const FileRecord* CameraRoll::file(std::string_view fullpath) const {
    auto found = byPath_.find(fullpath);
    return found == byPath_.end() ? nullptr : found->second;
}

const FileRecord* CameraRoll::liveVideoOf(std::string_view photoPath) const {
    auto found = videosByStem_.find(withoutExtension(photoPath));
    return found == videosByStem_.end() ? nullptr : found->second;
}

std::vector<const FileRecord*> CameraRoll::editsOf(std::string_view fullpath) const {
    auto [first, last] = editsByStem_.equal_range(editStem(fullpath));
    std::vector<const FileRecord*> edits;
    for (auto each = first; each != last; ++each) edits.push_back(each->second);
    // In catalogue order, whatever order the map keeps.
    std::sort(edits.begin(), edits.end());
    return edits;
}

}  // namespace salvora
