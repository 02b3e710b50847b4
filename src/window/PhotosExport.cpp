#include "window/PhotosExport.h"

#include <QObject>

#include "sources/photos/CameraRoll.h"
#include "sources/photos/PhotoExport.h"

namespace salvora {
namespace {

// The photo export's outcome as every export tells one; why the library was not used, or why
// its log was left out, is the first thing left out.
ExportSummary asExportSummary(PhotoExportSummary photos) {
    ExportSummary summary;
    summary.counts = {{photos.photos, "photo", "photos"},
                      {photos.videos, "video", "videos"},
                      {photos.editedVersions, "edited version", "edited versions"}};
    summary.notInBackup = std::move(photos.notInBackup);
    summary.failures = std::move(photos.failures);
    summary.renamed = std::move(photos.renamed);
    for (auto* sentence : {&photos.libraryProblem, &photos.libraryWarning})
        if (*sentence) summary.warnings.push_back(std::move(**sentence));
    summary.cancelled = photos.cancelled;
    return summary;
}

}  // namespace

SourceExport photosExport() {
    return {QObject::tr("Exporting Photos and Videos"),
            [](const ApplicationMap& applications) { return hasCameraRoll(applications); },
            [](const SourceExportRequest& request, const SaveProgress& progress) {
                PhotoExportOptions options;
                options.portableNames = request.portableNames;
                return asExportSummary(exportPhotos(request.deviceDirectory, request.applications,
                                                    request.destination, options, progress,
                                                    request.keybag));
            }};
}

}  // namespace salvora
