#pragma once

// File → "Export Photos and Videos…": the chosen device's camera roll exported by date into a
// folder the user chooses, off the event thread so the window keeps drawing.
#include <QObject>
#include <QString>
#include <vector>

#include "recovery/Recovery.h"

class QAction;

namespace salvora {

class MainController;
class Panels;

class PhotoExportCommand final : public QObject {
    Q_OBJECT
  public:
    // Triggering `action` runs the export; the command keeps the action's enabled state.
    PhotoExportCommand(MainController& controller, Panels& panels, QAction& action,
                       QObject* parent = nullptr);

    // Enabled only while the chosen device's catalogue holds a camera roll; called before the
    // menu that shows the action opens.
    void updateEnabled();
    void exportPressed();

  signals:
    // What came of an export, in a sentence for the user.
    void exportFinished(const QString& message);
    // Then the files it saved under another name than planned (none: an empty list).
    void filesRenamed(const std::vector<FileOutcome>& renamed);

  private:
    MainController& controller_;
    Panels& panels_;
    QAction& action_;
};

}  // namespace salvora
