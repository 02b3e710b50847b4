#include "sources/photos/ExportPlan.h"

#include <unordered_map>
#include <unordered_set>

#include "foundation/Path.h"
#include "recovery/SafeNames.h"
#include "sources/photos/ExportNames.h"

namespace salvora {
namespace {

class Planner {
  public:
    Planner(const CameraRoll& roll, const PhotoExportOptions& options)
        : roll_(roll), options_(options) {}

    ExportPlan plan(const PhotoLibrary* library) {
        if (library != nullptr) {
            // Every file the library lists is its asset's, even one left out, before any
            // photo takes a video beside it as its Live Photo's.
            for (const LibraryAsset& asset : library->assets)
                if (const FileRecord* file = roll_.file(libraryPath(asset))) claimed_.insert(file);
            for (const LibraryAsset& asset : library->assets) addLibraryAsset(asset);
            for (const LibraryAlbum& album : library->albums) addAlbum(album);
        }
        // Photos first, so that their Live Photos' videos go with them.
        for (MediaKind kind : {MediaKind::Photo, MediaKind::Video})
            for (const FileRecord* file : roll_.mediaFiles())
                if (mediaKindOfName(*file->fullpath()) == kind && !claimed_.contains(file))
                    addUnlistedFile(*file, kind);
        return std::move(plan_);
    }

  private:
    static std::string libraryPath(const LibraryAsset& asset) {
        return "Media/" + asset.directory + "/" + asset.fileName;
    }

    void addLibraryAsset(const LibraryAsset& asset) {
        if ((asset.hidden && !options_.includeHidden) ||
            (asset.trashed && !options_.includeDeleted)) {
            claimLiveVideo(libraryPath(asset), asset.kind);
            return;
        }
        const std::string path = libraryPath(asset);
        PlannedAsset planned;
        planned.original = roll_.file(path);
        planned.kind = asset.kind;
        planned.name =
            plainFileName(asset.originalFileName.value_or(""), lastPathComponent(asset.fileName));
        planned.date = asset.created;
        if (!planned.date && planned.original) planned.date = planned.original->modificationTime();
        add(std::move(planned), path);
        positions_[asset.id] = plan_.assets.size() - 1;
    }

    void addUnlistedFile(const FileRecord& file, MediaKind kind) {
        claimed_.insert(&file);
        PlannedAsset planned;
        planned.original = &file;
        planned.kind = kind;
        planned.name = plainFileName(lastPathComponent(*file.fullpath()));
        planned.date = file.modificationTime();
        add(std::move(planned), *file.fullpath());
    }

    void add(PlannedAsset planned, std::string_view path) {
        planned.liveVideo = claimLiveVideo(path, planned.kind);
        planned.edits = roll_.editsOf(path);
        plan_.assets.push_back(std::move(planned));
    }

    // A photo's Live Photo video, unless the library lists that video as an asset itself.
    const FileRecord* claimLiveVideo(std::string_view path, MediaKind kind) {
        if (kind != MediaKind::Photo) return nullptr;
        const FileRecord* video = roll_.liveVideoOf(path);
        if (video == nullptr || claimed_.contains(video)) return nullptr;
        claimed_.insert(video);
        return video;
    }

    void addAlbum(const LibraryAlbum& album) {
        PlannedAlbum planned{album.title, {}};
        for (std::int64_t id : album.assets)
            if (auto found = positions_.find(id); found != positions_.end())
                planned.members.push_back(found->second);
        if (!planned.members.empty()) plan_.albums.push_back(std::move(planned));
    }

    const CameraRoll& roll_;
    const PhotoExportOptions& options_;
    ExportPlan plan_;
    std::unordered_set<const FileRecord*> claimed_;
    std::unordered_map<std::int64_t, std::size_t> positions_;  // library id to planned asset
};

}  // namespace

ExportPlan planExport(const CameraRoll& roll, const PhotoLibrary* library,
                      const PhotoExportOptions& options) {
    return Planner(roll, options).plan(library);
}

}  // namespace salvora
