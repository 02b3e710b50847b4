#include "window/PhotoExportCommand.h"

#include <QAction>
#include <QWidget>

#include "foundation/HomeDirectory.h"
#include "sources/photos/CameraRoll.h"
#include "sources/photos/PhotoExport.h"
#include "window/LongSave.h"
#include "window/MainController.h"
#include "window/Panels.h"
#include "window/SaveOutcomeMessage.h"
#include "window/SavingSettings.h"

namespace salvora {
namespace {

// The sentence for the status bar: the counts, then the first failure's reason, why the
// library was not used, or why its log was left out.
std::string exportMessage(const PhotoExportSummary& summary, const std::string& destination) {
    std::string message = "Exported " + summaryCounts(summary) + " to " + destination;
    if (!summary.renamed.empty())
        message += " (" + std::to_string(summary.renamed.size()) + " renamed)";
    message += ".";
    if (!summary.failures.empty() && summary.failures.front().error)
        message += " " + summary.failures.front().error->description() + ".";
    else if (summary.libraryProblem)
        message += " " + *summary.libraryProblem + ".";
    else if (summary.libraryWarning)
        message += " " + *summary.libraryWarning + ".";
    return message;
}

}  // namespace

PhotoExportCommand::PhotoExportCommand(MainController& controller, Panels& panels, QAction& action,
                                       QObject* parent)
    : QObject(parent), controller_(controller), panels_(panels), action_(action) {
    connect(&action_, &QAction::triggered, this, &PhotoExportCommand::exportPressed);
    updateEnabled();
}

void PhotoExportCommand::updateEnabled() {
    const auto& device = controller_.selectedDevice();
    action_.setEnabled(device && device->applications && hasCameraRoll(*device->applications));
}

void PhotoExportCommand::exportPressed() {
    updateEnabled();
    if (!action_.isEnabled()) return;
    const std::optional<std::string> destination = panels_.chooseFolder(homeDirectory());
    if (!destination) return;
    // The catalogue is held for the export, whatever the user chooses meanwhile.
    const std::shared_ptr<DeviceRecord> device = controller_.selectedDevice();
    const std::shared_ptr<ApplicationMap> applications = device->applications;
    const UnlockedKeybag* keybag = controller_.selectedKeybag();
    PhotoExportOptions options;
    options.portableNames = portableNamesChosen();
    PhotoExportSummary summary;
    SaveStatus last;
    const bool cancelled =
        runLongSave(qobject_cast<QWidget*>(parent()), tr("Exporting Photos and Videos"),
                    [&](const SaveProgress& progress) {
                        summary = exportPhotos(
                            device->directory, *applications, *destination, options,
                            [&](const SaveStatus& status) {
                                last = status;
                                return progress(status);
                            },
                            keybag);
                    });
    std::string message = exportMessage(summary, *destination);
    if (cancelled) message = cancelledSaveMessage(last.filesDone, last.filesTotal) + " " + message;
    emit exportFinished(QString::fromStdString(message));
    emit filesRenamed(summary.renamed);
}

}  // namespace salvora
