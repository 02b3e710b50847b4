#include "photos/PhotoExport.h"

#include <unordered_set>

#include "foundation/EntryStatus.h"
#include "foundation/FileWriting.h"
#include "foundation/Path.h"
#include "foundation/Plural.h"
#include "photos/BackupPhotoLibrary.h"
#include "photos/ExportNames.h"
#include "recovery/SavedFile.h"

namespace salvora {
namespace {

// Beyond this many " (N)" names for one file, something else is wrong with the folder.
constexpr unsigned mostNumberedNames = 10000;

// A file the export put (or found) in a dated folder.
struct PlacedFile {
    std::vector<std::string> levels;
    std::string name;
    std::uint64_t size = 0;
    std::optional<std::int64_t> date;
};

std::vector<std::string_view> viewsOf(const std::vector<std::string>& levels) {
    return {levels.begin(), levels.end()};
}

std::string joined(const std::vector<std::string>& levels, std::string_view name) {
    std::string path;
    for (const std::string& level : levels) path.append(level).append("/");
    return path.append(name);
}

class PhotoExporter {
  public:
    PhotoExporter(const std::string& deviceDirectory, const std::string& destination,
                  const UnlockedKeybag* keybag, const SaveProgress& progress)
        : backupFolders_(deviceDirectory, CreateMissing::No),
          datedFolders_(destination, CreateMissing::Yes),
          albumFolders_(destination, CreateMissing::Yes),
          destination_(destination),
          keybag_(keybag),
          progress_(progress) {}

    HeldFolders& backupFolders() { return backupFolders_; }

    PhotoExportSummary run(const ExportPlan& plan, bool albums) {
        countTotals(plan);
        std::vector<std::vector<PlacedFile>> placed;
        placed.reserve(plan.assets.size());
        for (const PlannedAsset& asset : plan.assets) {
            if (summary_.cancelled) return std::move(summary_);
            placed.push_back(exportAsset(asset));
        }
        if (albums) {
            for (const PlannedAlbum& album : plan.albums) {
                if (summary_.cancelled) return std::move(summary_);
                for (std::size_t member : album.members)
                    for (const PlacedFile& file : placed[member]) link(album.title, file);
            }
        }
        current_.clear();
        tell();
        return std::move(summary_);
    }

  private:
    // Tells the progress where the export has come; false when it answers stop.
    bool tell() {
        state_.current = current_;
        return !progress_ || progress_(state_);
    }

    void countTotals(const ExportPlan& plan) {
        auto count = [&](const FileRecord* file) {
            if (file == nullptr) return;
            ++state_.filesTotal;
            state_.bytesTotal += file->size().value_or(0);
        };
        for (const PlannedAsset& asset : plan.assets) {
            count(asset.original);
            count(asset.liveVideo);
            for (const FileRecord* edit : asset.edits) count(edit);
        }
    }

    std::vector<PlacedFile> exportAsset(const PlannedAsset& asset) {
        const std::vector<std::string> levels = datedFolder(asset.date);
        std::vector<PlacedFile> placed;
        std::string name = asset.name;
        if (asset.original == nullptr) {
            summary_.notInBackup.push_back(asset.name);
        } else if (place(*asset.original, levels, name, asset.date, placed)) {
            ++(asset.kind == MediaKind::Photo ? summary_.photos : summary_.videos);
            // The other files follow the name the original took, " (2)" and all.
            name = placed.back().name;
        }
        if (asset.liveVideo != nullptr &&
            place(*asset.liveVideo, levels, nameWithExtensionOf(name, *asset.liveVideo->fullpath()),
                  asset.date, placed))
            ++summary_.videos;
        for (const FileRecord* edit : asset.edits)
            if (place(*edit, levels, nameWithExtensionOf(name, *edit->fullpath(), " (edited)"),
                      asset.date, placed))
                ++summary_.editedVersions;
        return placed;
    }

    // Makes the file under the first free choice of `wanted` in the dated folder, or finds it
    // made by an earlier export; false after counting a failure, or when a stop was requested.
    bool place(const FileRecord& source, const std::vector<std::string>& levels,
               const std::string& wanted, std::optional<std::int64_t> date,
               std::vector<PlacedFile>& placed) {
        current_ = wanted;
        if (summary_.cancelled || !tell()) {
            summary_.cancelled = true;
            return false;
        }
        ++state_.filesDone;
        state_.bytesDone += source.size().value_or(0);
        auto folder = datedFolders_.folderFor(viewsOf(levels));
        if (!folder) return failed(joined(levels, wanted), folder.error());
        auto isSame = [&](const EntryStatus& existing) {
            return existing.regularFile && source.size() && existing.size == *source.size() &&
                   date && existing.modificationTime == *date;
        };
        auto make = [&](const std::string& name) {
            return produceSavedFile(backupFolders_, source, **folder, name, keybag_, nullptr, date);
        };
        auto name = freeName(**folder, levels, wanted, isSame, make);
        if (!name) return failed(joined(levels, wanted), name.error());
        placed.push_back({levels, *name, source.size().value_or(0), date});
        return true;
    }

    // A hard link in the album's folder to a placed file, or a copy where links can't be made.
    void link(const std::string& title, const PlacedFile& file) {
        const std::vector<std::string> albumLevels = {"Albums",
                                                      plainFileName(title, "Untitled Album")};
        auto source = datedFolders_.folderFor(viewsOf(file.levels));
        if (!source) {
            failed(joined(albumLevels, file.name), source.error());
            return;
        }
        auto album = albumFolders_.folderFor(viewsOf(albumLevels));
        if (!album) {
            failed(joined(albumLevels, file.name), album.error());
            return;
        }
        auto original = entryStatus(**source, file.name);
        auto isSame = [&](const EntryStatus& existing) {
            return (original && existing.device == original->device &&
                    existing.inode == original->inode) ||
                   (existing.regularFile && existing.size == file.size && file.date &&
                    existing.modificationTime == *file.date);
        };
        auto make = [&](const std::string& name) {
            Status linked = linkItem(**source, file.name, **album, name);
            if (linked || linked.error().kind != ErrorKind::Unsupported) return linked;
            return copyItem(**source, file.name, **album, name, file.date);
        };
        if (auto name = freeName(**album, albumLevels, file.name, isSame, make); !name)
            failed(joined(albumLevels, file.name), name.error());
    }

    // The name `wanted` or its first numbered choice that is neither taken by this export nor
    // by a file that isn't the same; `make` makes the file there.
    template <typename IsSame, typename Make>
    Result<std::string> freeName(const OpenFolder& folder, const std::vector<std::string>& levels,
                                 const std::string& wanted, const IsSame& isSame,
                                 const Make& make) {
        for (unsigned number = 1; number <= mostNumberedNames; ++number) {
            std::string name = numberedName(wanted, number);
            std::string key = joined(levels, name);
            if (taken_.contains(key)) continue;
            if (auto existing = entryStatus(folder, name)) {
                if (!isSame(*existing)) continue;
            } else if (Status made = make(name); !made) {
                // Another program took the name meanwhile: try the next.
                if (entryStatus(folder, name)) continue;
                return made.error();
            }
            taken_.insert(std::move(key));
            return name;
        }
        return Error{"Could not export", folder.pathOf(wanted), "No free name for it"};
    }

    bool failed(const std::string& relative, ErrorSlot error) {
        summary_.failures.push_back({appendingPathComponent(destination_, relative), error});
        return false;
    }

    HeldFolders backupFolders_;
    HeldFolders datedFolders_;
    HeldFolders albumFolders_;
    std::string destination_;
    const UnlockedKeybag* keybag_;
    const SaveProgress& progress_;
    SaveStatus state_;
    std::string current_;  // the name `state_` tells of
    PhotoExportSummary summary_;
    // The names this export gave, by their paths below the destination.
    std::unordered_set<std::string> taken_;
};

}  // namespace

std::string summaryCounts(const PhotoExportSummary& summary) {
    return counted(summary.photos, "photo", "photos") + ", " +
           counted(summary.videos, "video", "videos") + ", " +
           counted(summary.editedVersions, "edited version", "edited versions") + ", " +
           std::to_string(summary.notInBackup.size()) + " not in this backup, " +
           std::to_string(summary.failures.size()) + " failed";
}

PhotoExportSummary exportPhotos(const std::string& deviceDirectory,
                                const ApplicationMap& applications, const std::string& destination,
                                const PhotoExportOptions& options, const SaveProgress& progress,
                                const UnlockedKeybag* keybag) {
    PhotoExporter exporter(deviceDirectory, destination, keybag, progress);
    const CameraRoll roll(applications);
    const BackupPhotoLibrary read = readBackupPhotoLibrary(exporter.backupFolders(), roll, keybag);
    const ExportPlan plan = planExport(roll, read.library ? &*read.library : nullptr, options);
    PhotoExportSummary summary = exporter.run(plan, options.albums);
    summary.libraryWarning = read.walWarning;
    if (read.problem)
        summary.libraryProblem =
            *read.problem +
            ": photos and videos were taken from its files and the dates it recorded";
    return summary;
}

}  // namespace salvora
