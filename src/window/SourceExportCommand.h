#pragma once

// A File → Export action for one kind of data a person wants back (messages, contacts, calls…):
// enabled while the chosen backup holds it; asks for a folder, exports into it off the event
// thread behind the progress dialog, tells what came of it, and offers to open the page a
// finished export opens with.
#include <QObject>
#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "catalog/model/Records.h"
#include "crypto/UnlockedKeybag.h"
#include "export/ExportSummary.h"
#include "recovery/Recovery.h"

class QAction;

namespace salvora {

class MainController;
class Panels;

// What an export is given: the chosen backup, held for the export whatever the user chooses
// meanwhile, and the folder chosen.
struct SourceExportRequest {
    const std::string& deviceDirectory;
    const ApplicationMap& applications;
    const UnlockedKeybag* keybag;
    const std::string& destination;
    bool portableNames;
};

// One kind of export, as the window runs it.
struct SourceExport {
    QString progressTitle;  // "Exporting Messages"
    // Whether the catalogue holds what the export reads.
    std::function<bool(const ApplicationMap& applications)> available;
    std::function<ExportSummary(const SourceExportRequest& request, const SaveProgress& progress)>
        run;
};

class SourceExportCommand final : public QObject {
    Q_OBJECT
  public:
    SourceExportCommand(MainController& controller, Panels& panels, QAction& action,
                        SourceExport source, QObject* parent = nullptr);

    // Called before the menu that shows the action opens.
    void updateEnabled();
    void exportPressed();

  signals:
    // What came of an export, in a sentence for the user.
    void exportFinished(const QString& message);
    // Then the files it saved under another name than planned (none: an empty list).
    void filesRenamed(const std::vector<FileOutcome>& renamed);

  private:
    // Asks whether to open the page in the browser, and opens it on Yes.
    void offerToOpen(const std::string& page);

    MainController& controller_;
    Panels& panels_;
    QAction& action_;
    SourceExport source_;
};

}  // namespace salvora
