#include "sources/photos/PhotoExport.h"

#include <unordered_set>

#include "foundation/EntryStatus.h"
#include "foundation/FileWriting.h"
#include "foundation/Path.h"
#include "foundation/Plural.h"
#include "recovery/SafeNames.h"
#include "recovery/SavedFile.h"
#include "sources/photos/BackupPhotoLibrary.h"
#include "sources/photos/ExportNames.h"

namespace salvora {
namespace {

// Beyond this many " (N)" names for one file, something else is wrong with the folder.
constexpr unsigned mostNumberedNames = 10000;

Result<std::string> nameIfMade(const Status& made, const std::string& name) {
    if (!made) return made.error();
    return name;
}

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
                  const UnlockedKeybag* keybag, const SaveProgress& progress, bool portableNames)
        : backupFolders_(deviceDirectory, CreateMissing::No),
          names_(portableNames),
          datedFolders_(destination, CreateMissing::Yes, &names_),
          albumFolders_(destination, CreateMissing::Yes, &names_),
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
        bool folderRenamed = false;
        auto folder = datedFolders_.folderFor(viewsOf(levels), &folderRenamed);
        if (!folder) return failed(joined(levels, wanted), folder.error());
        auto isSame = [&](const EntryStatus& existing) {
            return existing.regularFile && source.size() && existing.size == *source.size() &&
                   date && existing.modificationTime == *date;
        };
        auto make = [&](const std::string& name) {
            return produceSavedFile(backupFolders_, source, **folder, name, keybag_, nullptr, date,
                                    &names_);
        };
        const std::string first = names_.firstTried(wanted);
        bool renamed = folderRenamed || first != wanted;
        auto name = freeName(**folder, levels, first, isSame, make, renamed);
        if (!name) return failed(joined(levels, wanted), name.error());
        noteRenamed(joined(levels, wanted), **folder, *name, renamed);
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
        bool albumRenamed = false;
        auto album = albumFolders_.folderFor(viewsOf(albumLevels), &albumRenamed);
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
            if (linked || linked.error().kind != ErrorKind::Unsupported)
                return nameIfMade(linked, name);
            return copyItem(**source, file.name, **album, name,
                            names_.making(**album, name, file.date));
        };
        auto name = freeName(**album, albumLevels, file.name, isSame, make, albumRenamed);
        if (!name)
            failed(joined(albumLevels, file.name), name.error());
        else
            noteRenamed(joined(albumLevels, file.name), **album, *name, albumRenamed);
    }

    // A file placed under another name than `planned` (a path below the destination) tells
    // where it went.
    void noteRenamed(const std::string& planned, const OpenFolder& folder, const std::string& name,
                     bool renamed) {
        if (renamed)
            summary_.renamed.push_back(
                {appendingPathComponent(destination_, planned), {}, {}, folder.pathOf(name)});
    }

    // The name `wanted` or its first numbered choice that is neither taken by this export nor
    // by a file that isn't the same; `make` makes the file there, or under another name where
    // the folder refuses that one, which sets `renamed`.
    template <typename IsSame, typename Make>
    Result<std::string> freeName(const OpenFolder& folder, const std::vector<std::string>& levels,
                                 const std::string& wanted, const IsSame& isSame, const Make& make,
                                 bool& renamed) {
        for (unsigned number = 1; number <= mostNumberedNames; ++number) {
            std::string name = numberedName(wanted, number);
            std::string key = joined(levels, name);
            if (taken_.contains(key)) continue;
            // The file went under another name, one the drive takes.
            const auto madeAs = [&](std::string other) {
                taken_.insert(joined(levels, other));
                name = std::move(other);
                renamed = true;
            };
            if (auto existing = entryStatus(folder, name)) {
                if (!isSame(*existing)) continue;
            } else if (Result<std::string> made = make(name); !made) {
                // Another program took the name meanwhile: try the next.
                if (entryStatus(folder, name)) continue;
                // An export before made the same file under the name the drive took instead.
                const std::string tried = lastPathComponent(made.error().path);
                auto before = tried != name ? entryStatus(folder, tried) : std::nullopt;
                if (!before || !isSame(*before)) return made.error();
                madeAs(tried);
            } else if (*made != name) {
                madeAs(std::move(*made));
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
    DestinationNames names_;
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
    PhotoExporter exporter(deviceDirectory, destination, keybag, progress, options.portableNames);
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
