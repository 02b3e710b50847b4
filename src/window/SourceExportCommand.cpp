#include "window/SourceExportCommand.h"

#include <QAction>
#include <QUrl>
#include <QWidget>

#include "foundation/FileQueries.h"
#include "foundation/HomeDirectory.h"
#include "foundation/Path.h"
#include "window/LongSave.h"
#include "window/MainController.h"
#include "window/Panels.h"
#include "window/SaveOutcomeMessage.h"
#include "window/SavingSettings.h"

namespace salvora {
namespace {

// The sentence for the status bar: the counts, then the first reason something was left out.
std::string exportMessage(const ExportSummary& summary, const std::string& destination) {
    if (summary.error) return "Nothing exported: " + summary.error->description() + ".";
    std::string message = "Exported " + summaryCounts(summary) + " to " + destination;
    if (!summary.renamed.empty())
        message += " (" + std::to_string(summary.renamed.size()) + " renamed)";
    message += ".";
    if (!summary.failures.empty() && summary.failures.front().error)
        message += " " + summary.failures.front().error->description() + ".";
    else if (!summary.warnings.empty())
        message += " " + summary.warnings.front() + ".";
    return message;
}

}  // namespace

SourceExportCommand::SourceExportCommand(MainController& controller, Panels& panels,
                                         QAction& action, SourceExport source, QObject* parent)
    : QObject(parent),
      controller_(controller),
      panels_(panels),
      action_(action),
      source_(std::move(source)) {
    connect(&action_, &QAction::triggered, this, &SourceExportCommand::exportPressed);
    updateEnabled();
}

void SourceExportCommand::updateEnabled() {
    const auto& device = controller_.selectedDevice();
    action_.setEnabled(device && device->applications && source_.available(*device->applications));
}

void SourceExportCommand::exportPressed() {
    updateEnabled();
    if (!action_.isEnabled()) return;
    const std::optional<std::string> destination = panels_.chooseFolder(homeDirectory());
    if (!destination) return;
    const std::shared_ptr<DeviceRecord> device = controller_.selectedDevice();
    const std::shared_ptr<ApplicationMap> applications = device->applications;
    const SourceExportRequest request{device->directory, *applications,
                                      controller_.selectedKeybag(), *destination,
                                      portableNamesChosen()};
    ExportSummary summary;
    SaveStatus last;
    const bool cancelled = runLongSave(
        qobject_cast<QWidget*>(parent()), source_.progressTitle, [&](const SaveProgress& progress) {
            summary = source_.run(request, [&](const SaveStatus& status) {
                last = status;
                return progress(status);
            });
        });
    std::string message = exportMessage(summary, *destination);
    if (cancelled) message = cancelledSaveMessage(last.filesDone, last.filesTotal) + " " + message;
    emit exportFinished(QString::fromStdString(message));
    emit filesRenamed(summary.renamed);
    // An export read in the browser (its index.html, calls.html) is offered to it.
    if (!cancelled && !summary.error && summary.firstPage.ends_with(".html"))
        offerToOpen(summary.firstPage);
}

void SourceExportCommand::offerToOpen(const std::string& page) {
    if (!isRegularFile(page)) return;
    const std::string question = tr("The export is in \u201c%1\u201d. Open its %2 in your browser?")
                                     .arg(QString::fromStdString(deletingLastPathComponent(page)),
                                          QString::fromStdString(lastPathComponent(page)))
                                     .toStdString();
    if (panels_.askYesOrNo(tr("Export Finished").toStdString(), question))
        panels_.openUrl(QUrl::fromLocalFile(QString::fromStdString(page)));
}

}  // namespace salvora
