#pragma once

// The camera roll's photos and videos out of a backup, as people want them: each original in
// DEST/YYYY/MM/ by its capture date in the computer's time zone, under its original name and
// dated with it; an edited version beside it as "NAME (edited).ext"; a Live Photo's video
// under the photo's name with its own extension; with albums, DEST/Albums/ALBUM/ holding hard
// links to the dated files. Nothing is ever overwritten (a taken name gets " (2)", " (3)"…),
// and a file already there with the same size and date counts as done, so exporting again
// adds nothing. Files come into being the way every save makes them: whole or not at all,
// only below DEST.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "catalog/model/Records.h"
#include "crypto/UnlockedKeybag.h"
#include "recovery/Recovery.h"
#include "sources/photos/ExportPlan.h"

namespace salvora {

struct PhotoExportSummary {
    std::size_t photos = 0;
    std::size_t videos = 0;  // a Live Photo's video counts as one
    std::size_t editedVersions = 0;
    // The names of assets the library lists but the backup doesn't hold (kept only in iCloud):
    // no failure.
    std::vector<std::string> notInBackup;
    std::vector<FileOutcome> failures;
    // The files saved under another name than planned because the drive refuses that name (or,
    // with portable names, some system would): each with `savedAs`.
    std::vector<FileOutcome> renamed;
    // Why the files and the dates the backup recorded were used instead of the library.
    std::optional<std::string> libraryProblem;
    // Why the newest part of the library, its "-wal", was left out, when it was.
    std::optional<std::string> libraryWarning;
    bool cancelled = false;
};

// "4 photos, 2 videos, 1 edited version, 1 not in this backup, 0 failed".
std::string summaryCounts(const PhotoExportSummary& summary);

// Exports the camera roll of the catalogue `applications` built from the backup folder
// `deviceDirectory` into `destination`, making it when missing. `progress` is told as by a
// save, its `current` the name being exported: before each file and once at the end; answering
// false ends the export before that file. The files of an encrypted backup are decrypted with
// its keybag.
PhotoExportSummary exportPhotos(const std::string& deviceDirectory,
                                const ApplicationMap& applications, const std::string& destination,
                                const PhotoExportOptions& options,
                                const SaveProgress& progress = {},
                                const UnlockedKeybag* keybag = nullptr);

}  // namespace salvora
